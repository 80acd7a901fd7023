#pragma once
// One response setting: who may ask for a still and how the still is prepared and sent back.
#include "settings/CParams.h"

#include <QString>

struct CResAccount {
    QString Name;        // unique among the settings
    int DoReduction = 1; // 0/1
    int ReductionWidth = 200;
    int ReductionType = 0;   // 0 plain, 1 smooth
    int RotationType = 0;    // 0 none, 1 quarter turn clockwise, 2 half turn, 3 counter-clockwise
    int ColorBit = 24;       // 24 full colour, 8 reduced to 256 colours
    int FormatType = 0;      // 0 JPEG, 1 PNG, 2 GIF
    int JPEGProgressive = 0; // 0/1
    int JPEGCompression = 1; // 0 to 100; the JPEG quality is 100 minus it
    // The accepted sender addresses: a list, or a text when the setting was never given any
    // (such a text accepts nobody).
    ParamValue vAcceptedMailAddrs;
    QString SendMail_Subject;
    QString SendMail_Body;
};
