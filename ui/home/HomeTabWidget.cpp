#include "ui/home/HomeTabWidget.h"

#include "ui/home/HomeTabBar.h"

#include <QDebug>

HomeTabWidget::HomeTabWidget(QWidget* parent) : QTabWidget(parent)
{
    setTabBar(new HomeTabBar(this));
    setTabsClosable(true);
    QFont font = tabBar()->font();
    font.setPixelSize(12);
    tabBar()->setFont(font);
}

void HomeTabWidget::tabInserted(int index)
{
    if (QWidget* close = tabBar()->tabButton(index, QTabBar::RightSide)) {
        close->resize(16, 16);
        close->move(close->pos() + QPoint(4, 4));
    }
    // The home page may have been added before it was shown; it never gets a close button.
    if (index == 0)
        tabBar()->setTabButton(0, QTabBar::RightSide, nullptr);
    QTabWidget::tabInserted(index);
}

void HomeTabWidget::showEvent(QShowEvent* event)
{
    if (count() > 0) {
        setTabText(0, QStringLiteral("主页"));
        tabBar()->setTabTextColor(0, Qt::black);
        tabBar()->setTabButton(0, QTabBar::RightSide, nullptr);
    }
    for (int i = 1; i < count(); ++i)
        if (QWidget* close = tabBar()->tabButton(i, QTabBar::RightSide))
            qDebug() << "tab" << i << "close button" << close->geometry();
    QTabWidget::showEvent(event);
}
