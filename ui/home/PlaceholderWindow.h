#pragma once

#include <QMainWindow>

// Stands in for the home window until it is built: shows the title, version and build date.
class PlaceholderWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit PlaceholderWindow(QWidget* parent = nullptr);
};
