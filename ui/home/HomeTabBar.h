#pragma once

#include <QTabBar>

// The home window's tab bar: its own class so the style can address it.
class HomeTabBar : public QTabBar
{
    Q_OBJECT
public:
    using QTabBar::QTabBar;
};
