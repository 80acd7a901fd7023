#pragma once
// The dialogs name their Gothic fonts by the families the settings texts were designed with;
// this machine draws them with the IPA Gothic fonts of the same metrics.
#include <QString>

// The family names the dialogs use.
QString GothicFamily();             // fixed-pitch: "ＭＳ ゴシック"
QString ProportionalGothicFamily(); // proportional: "ＭＳ Ｐゴシック"

// Maps the two families to IPAGothic and IPAPGothic for every font made afterwards. Calling it
// again changes nothing.
void InstallFontSubstitutions();
