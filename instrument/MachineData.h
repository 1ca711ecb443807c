#pragma once

#include <QMetaType>
#include <QString>
#include <QVector>

// The connection state as the last probe found it.
struct MachineData
{
    bool isSync = false;       // a probe has decided the state
    bool isOpen = false;       // a port is open and at least one module answered
    QString comName;           // the port the modules answered on
    QVector<quint8> pcrModels; // after a probe: five entries, entry i is i when module i answered
    QString silentPort;        // the port named in the settings, when it did not answer

    bool hasPcrModel() const;
};

Q_DECLARE_METATYPE(MachineData)
