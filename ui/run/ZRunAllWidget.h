#pragma once

#include "method/InData.h"

#include <QWidget>

class Machine;
class ZRunWidget;

namespace Ui {
class ZRunAllWidget;
}

// The run window: one tab per test created this session, running or finished. A page whose run
// is going cannot be closed, and the window only minimises while any module runs.
class ZRunAllWidget : public QWidget
{
    Q_OBJECT
public:
    explicit ZRunAllWidget(QWidget* parent = nullptr, Machine* machine = nullptr);
    ~ZRunAllWidget() override;

    ZRunWidget* addRunDataWidget(const InData& in, const QString& filePath);
    ZRunWidget* page(int index) const;
    int pageCount() const;
    // Brings the page of the experiment at path to the front; false when none shows it.
    bool showExperiment(const QString& path);
    // The pages whose run is going, stop sequence included.
    QList<ZRunWidget*> runningPages() const;

signals:
    // The operator asked for the home window.
    void signalShowHome();

public slots:
    void slotTabCloseRequested(int index);

protected:
    void closeEvent(QCloseEvent* event) override;

private:

    Ui::ZRunAllWidget* ui;
    Machine* mMachine;
};
