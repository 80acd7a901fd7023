#include "tests/support/TlsMailServers.h"

bool StartTlsMailServers(TestCertificates& certificates, DovecotServer& pop,
                         const std::vector<DovecotServer::User>& users, SmtpServer& smtp,
                         SmtpServer::Offer offer, QString& retProblem) {
    if (!certificates.Make(retProblem))
        return false;
    certificates.Trust();
    offer.CertFile = certificates.CertFile(TestCertificates::Trusted);
    offer.KeyFile = certificates.KeyFile();
    pop.OfferTls(offer.CertFile, offer.KeyFile);
    return pop.Start(users, retProblem) && smtp.StartOffering(retProblem, offer);
}
