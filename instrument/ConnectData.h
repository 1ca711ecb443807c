#pragma once

#include <QMetaType>
#include <QVector>

// One progress or measurement report of a running module.
struct ConnectData
{
    enum DataType : unsigned int { INITIAL_READING = 0, TEMPERATURE = 1, HOLE_READING = 2 };

    unsigned int dataType = TEMPERATURE;
    int pcrIndex = 0;
    double upTemp = -1.0;   // -1 when not measured
    double downTemp = -1.0; // -1 when not measured
    QVector<double> pdValues; // per position two holes, each with its channels; NaN = not read
    int cycle = 0;            // amplification readings taken so far
    int meltStep = 0;         // melt readings taken so far
    int residueCount = 0;     // steps still to play = seconds left
    int totalCount = 0;       // steps in the module's current list
};

Q_DECLARE_METATYPE(ConnectData)
