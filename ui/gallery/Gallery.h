#pragma once

#include "files/OutData.h"

#include <QTabWidget>

// Every reusable widget filled from one realistic experiment, a tab each, so each can be looked
// at alone and grabbed as a picture of its own.
class Gallery : public QTabWidget
{
    Q_OBJECT
public:
    explicit Gallery(const OutData& experiment, QWidget* parent = nullptr);

    // One PNG per block, named after its tab; the number written, or -1 on the first failure.
    int grabAll(const QString& folder);

private:
    void addBlock(const QString& name, QWidget* block, QSize size);
    // The wizard's three pages and the editing dialogs; they need method files in the working
    // folder's "json" folder.
    void addDialogBlocks();

    OutData mData;
    QVector<QPair<QString, QWidget*>> mBlocks;
};
