// The dialogs of the gallery: the wizard on each of its pages, the analysis settings of a positive
// curve, and both method editors holding the experiment's method.
#include "ui/editor/MethodDialog.h"
#include "ui/editor/ZParameterDialog.h"
#include "ui/gallery/Gallery.h"
#include "ui/newtest/NewDialog.h"
#include "ui/results/ZHighDialog.h"

#include <QComboBox>
#include <QPushButton>

void Gallery::addDialogBlocks()
{
    MachineData instrument;
    instrument.isSync = true;
    instrument.isOpen = true;
    instrument.pcrModels = {0, 1, 2, 3, 4};
    for (int page = 0; page < 3; ++page) {
        auto* wizard = new NewDialog(instrument);
        wizard->findChild<QComboBox*>("comboBox")->setCurrentIndex(0);
        wizard->slotCurrentTextChanged(wizard->findChild<QComboBox*>("comboBox")->currentText());
        for (int i = 0; i < page; ++i)
            wizard->slotNextClicked();
        addBlock(QString("wizard-%1").arg(page), wizard, wizard->size());
    }

    auto* settings = new ZHighDialog;
    settings->setOutData(mData, 2, 0, true);
    addBlock("settings", settings, settings->size());

    auto* method = new MethodDialog;
    method->setMethod(mData.inData.method);
    addBlock("method", method, method->size());

    auto* parameters = new ZParameterDialog;
    parameters->resize(1400, 900);
    parameters->jsonToUi(mData.inData.method);
    addBlock("parameters", parameters, QSize(1400, 900));
}
