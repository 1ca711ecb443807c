#pragma once

#include <QDialog>

namespace Ui {
class ZMessageBox;
}

// The program's one notice and question: a message, "确认" (exec() returns 1) and "取消" (0,
// as is closing the window). Created on the stack for each use.
class ZMessageBox : public QDialog
{
    Q_OBJECT
public:
    explicit ZMessageBox(QWidget* parent = nullptr);
    ~ZMessageBox() override;

    void setMessageInfo(const QString& text);
    // Only "确认": the box tells and asks nothing.
    void setNotice();
    // A question: shows text over parent and waits; true when the operator confirmed.
    static bool ask(QWidget* parent, const QString& text);
    // A notice: shows text over parent with "确认" alone and waits.
    static void tell(QWidget* parent, const QString& text);
    // A notice that waits for nobody: shown over parent, gone when closed. For what the operator
    // should know but need not answer before anything goes on.
    static ZMessageBox* notify(QWidget* parent, const QString& text);

private:
    Ui::ZMessageBox* ui;
};
