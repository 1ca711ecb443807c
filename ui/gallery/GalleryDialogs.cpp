// The dialogs and pages of the gallery: the wizard on each of its pages, the analysis settings of
// a positive curve, a finished run's page in each view, and both method editors holding the
// experiment's method.
#include "app/UI.h"
#include "ui/data/InputTextDialog.h"
#include "ui/data/ZDataList.h"
#include "ui/editor/MethodDialog.h"
#include "ui/editor/ZParameterDialog.h"
#include "ui/gallery/Gallery.h"
#include "ui/newtest/NewDialog.h"
#include "ui/newtest/SampleInfoWidget.h"
#include "ui/results/ZHighDialog.h"
#include "ui/run/ZRunWidget.h"
#include "ui/update/AboutDiolog.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
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
        for (int i = 0; i < page; ++i) {
            auto* samples = wizard->findChild<SampleInfoWidget*>("widget_Sample");
            for (int s = 0; samples && samples->nameEdit(s); ++s)
                samples->nameEdit(s)->setText(QStringLiteral("病人%0").arg(s + 1));
            wizard->slotNextClicked();
        }
        addBlock(QString("wizard-%1").arg(page), wizard, wizard->size());
    }

    auto* settings = new ZHighDialog;
    settings->setOutData(mData, 2, 0, true);
    addBlock("settings", settings, settings->size());

    auto* method = new MethodDialog;
    method->setMethod(mData.inData.method);
    addBlock("method", method, method->size());

    // A finished run's page in each of its four views.
    for (int view = 0; view < 4; ++view) {
        auto* page = new ZRunWidget;
        page->setMFilePath("usr_data/演示.pcrd");
        page->setInData(mData.inData);
        page->setOutData(mData);
        page->slotButtonGroupClicked(view);
        addBlock(QString("page-%1").arg(view), page, QSize(1800, 950));
    }

    auto* parameters = new ZParameterDialog;
    parameters->resize(1400, 900);
    parameters->jsonToUi(mData.inData.method);
    addBlock("parameters", parameters, QSize(1400, 900));

    // The data page over a few saved copies of the experiment, the first one pressed.
    const QString folder = UI::UserDirName.arg(QDir::currentPath());
    QDir().mkpath(folder);
    for (const char* name : {"演示", "run-0427", "run-0428"})
        mData.saveAsFilePath(folder + QString::fromUtf8(name) + ".pcrd");
    auto* data = new ZDataList;
    data->slotPressFile(folder + QStringLiteral("演示.pcrd"));
    addBlock("data", data, QSize(1500, 800));
    auto* rename = new InputTextDialog(QStringLiteral("演示.pcrd"));
    addBlock("rename", rename, rename->size());
    auto* about = new AboutDiolog;
    addBlock("about", about, about->size());
}
