#pragma once

#include <QString>

class Settings;

// How a lab has its results sent to its laboratory information system (the "LIS" settings).
struct LisOptions
{
    QString folder;   // where the LIS collects messages; empty: nothing is sent
    QString facility; // the lab, as the sending facility
    QString receivingApplication;
    QString receivingFacility;
    bool sendAfterRun = false;
    bool sendIncomplete = false; // incomplete and invalid runs go out too, marked

    static LisOptions from(const Settings& settings);
};
