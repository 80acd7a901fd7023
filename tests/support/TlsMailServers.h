#pragma once
// Both test mail servers in TLS with a certificate of the trusted test CA for 127.0.0.1.
#include "tests/support/DovecotServer.h"
#include "tests/support/SmtpServer.h"
#include "tests/support/TestCertificates.h"

// Makes and trusts the certificates, then starts pop (STLS on its port, TLS on TlsPort) with
// users and smtp with offer, whose certificate and key it fills in. False with the reason in
// retProblem.
bool StartTlsMailServers(TestCertificates& certificates, DovecotServer& pop,
                         const std::vector<DovecotServer::User>& users, SmtpServer& smtp,
                         SmtpServer::Offer offer, QString& retProblem);
