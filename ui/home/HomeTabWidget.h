#pragma once

#include <QTabWidget>

// The home window's tab strip: tab 0 is the home page, always "主页" and never closable; every
// other tab has a small close button.
class HomeTabWidget : public QTabWidget
{
    Q_OBJECT
public:
    explicit HomeTabWidget(QWidget* parent = nullptr);

protected:
    void tabInserted(int index) override;
    void showEvent(QShowEvent* event) override;
};
