#pragma once

#include "instrument/MachineData.h"

#include <QMainWindow>

class QLabel;

// Stands in for the home window until it is built: shows the title, version and build date, and
// the connection state the monitor reports.
class PlaceholderWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit PlaceholderWindow(QWidget* parent = nullptr);

public slots:
    void slotMachineData(MachineData data);

private:
    QLabel* mConnection;
};
