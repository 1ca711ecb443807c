#include "ui/data/ZDataList.h"

#include "analysis/TempData.h"
#include "app/DataHead.h"
#include "app/ExperimentFiles.h"
#include "app/ExperimentName.h"
#include "app/UI.h"
#include "files/OutData.h"
#include "records/RecordSession.h"
#include "ui/data/FileSystemModel.h"
#include "ui/data/InputTextDialog.h"
#include "ui/data/SearchDialog.h"
#include "ui/data/TrendDialog.h"
#include "ui/dialogs/ExportExperiment.h"
#include "ui/dialogs/SavePath.h"
#include "ui/dialogs/ZMessageBox.h"
#include "ui/records/RecordActions.h"
#include "ui_ZDataList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

ZDataList::ZDataList(QWidget* parent) : QWidget(parent), ui(new Ui::ZDataList), mModel(new FileSystemModel(this))
{
    ui->setupUi(this);
    setWindowTitle(UI::DataListTitle);
    const QSize screen = UI::ScreenSize();
    if (screen.isValid())
        resize(screen);
    initFileListView();
    connect(ui->lineEditTextFilter, &QLineEdit::textChanged, this, &ZDataList::applyFilters);
    connect(ui->pushButton_Search, &QPushButton::clicked, this, &ZDataList::search);
    connect(ui->pushButton_ClearSearch, &QPushButton::clicked, this, [this] {
        mFound.reset();
        applyFilters();
    });
    connect(ui->pushButton_Trends, &QPushButton::clicked, this, [this] { TrendDialog(this).exec(); });
    applyFilters();
}

void ZDataList::search()
{
    SearchDialog dialog(mQuery, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    mQuery = dialog.query();
    QVector<ResultIndex::Hit> hits;
    QString fault;
    const bool found = RecordActions::ask([&](RecordSession& s) {
        const bool ok = s.findExperiments(mQuery, hits);
        fault = s.results().fault();
        return ok;
    });
    if (!found)
        return ZMessageBox::tell(this, UI::SearchFailed.arg(fault));
    mFound = QStringList();
    for (const ResultIndex::Hit& hit : hits)
        mFound->append(hit.experiment);
    applyFilters();
}

void ZDataList::applyFilters()
{
    const QString text = ui->lineEditTextFilter->text();
    ui->label_SearchResult->setVisible(mFound.has_value());
    ui->pushButton_ClearSearch->setVisible(mFound.has_value());
    if (!mFound) {
        // Wildcards typed are wildcards; a bracket typed is a bracket.
        mModel->setNameFilters({QString("*%1*.pcrd").arg(QString(text).replace('[', "[[]"))});
        return;
    }
    // The found experiments by their file names; brackets and wildcards in a name are letters.
    QStringList names;
    for (QString name : *mFound)
        if (name.contains(text, Qt::CaseInsensitive))
            names << name.replace('[', "[[]").replace('*', "[*]").replace('?', "[?]") + ".pcrd";
    ui->label_SearchResult->setText(UI::SearchFound.arg(mFound->size()));
    // No file name holds a slash: an empty result lists nothing rather than everything.
    mModel->setNameFilters(names.isEmpty() ? QStringList{"/"} : names);
}

ZDataList::~ZDataList()
{
    delete ui;
}

void ZDataList::initFileListView()
{
    const QString folder = UI::UserDirName.arg(QDir::currentPath());
    QDir().mkpath(folder);
    ui->treeView->setModel(mModel);
    ui->treeView->setRootIndex(mModel->setRootPath(folder));
    ui->treeView->setSortingEnabled(true);
    ui->treeView->sortByColumn(3, Qt::DescendingOrder);
    ui->treeView->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    for (int section = 1; section < 4; ++section)
        ui->treeView->header()->setSectionResizeMode(section, QHeaderView::Stretch);
    ui->treeView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ui->treeView->setRootIsDecorated(false);
    // Ten thousand rows of one height: the view need not measure each.
    ui->treeView->setUniformRowHeights(true);
    connect(ui->treeView, &FileView::signalOpenFile, this, &ZDataList::slotOpenFile);
    connect(ui->treeView, &FileView::signalPressFile, this, &ZDataList::slotPressFile);
    connect(ui->treeView, &FileView::signalExport, this, &ZDataList::slotExport);
    connect(ui->treeView, &FileView::signalExportPcrd, this, &ZDataList::slotExportPcrd);
    connect(ui->treeView, &FileView::signalRename, this, &ZDataList::slotRename);
    connect(ui->treeView, &FileView::signalSignaturesChanged, this, &ZDataList::showSigned);
    // A deleted file's curves do not stay on show.
    connect(ui->treeView, &FileView::signalRemoved, this, [this](const QStringList& paths) {
        if (!paths.contains(mPreviewPath) || QFile::exists(mPreviewPath))
            return;
        ui->widget_Origin->reset();
        ui->widget_New->reset();
        mPreviewPath.clear();
    });
}

void ZDataList::showEvent(QShowEvent* event)
{
    // A run page may have signed or unlocked meanwhile.
    showSigned();
    QWidget::showEvent(event);
}

void ZDataList::showSigned()
{
    mModel->setSigned(RecordActions::ask([](RecordSession& s) { return s.signatures().locked(); }));
}

void ZDataList::slotOpenFile(QString path)
{
    emit signalOpenFile(path);
}

void ZDataList::slotPressFile(QString path)
{
    OutData data;
    if (data.openAs(path) != 0) {
        ZMessageBox::tell(this, UI::PcrdFileError);
        return;
    }
    mPreviewPath = path;
    const TempData results(data);
    ui->widget_Origin->setInitChart(data.inData.method);
    ui->widget_Origin->setLines(results.cycleLines, true);
    ui->widget_New->setInitChart(data.inData.method);
    ui->widget_New->setLines(results.relativeLines, true);
}

void ZDataList::slotExport(QString path, ExperimentExport::Format format)
{
    OutData data;
    if (data.openAs(path) != 0) {
        ZMessageBox::tell(this, UI::PcrdFileError);
        return;
    }
    QString proposed = path;
    proposed.remove(".pcrd");
    RecordActions::recordExport(path, exportExperiment(this, data, format, proposed, QFileInfo(path).completeBaseName(),
                                                                RecordActions::exportRows(path)));
}

void ZDataList::slotExportPcrd(QString path)
{
    const QString name = askSavePath(this, UI::PcrdExport, path, "pcrd");
    if (name.isEmpty())
        return;
    if (!ExperimentFiles::exportCopy(path, name))
        return ZMessageBox::tell(this, UI::CopyRefused.arg(name));
    RecordActions::recordExport(path, name);
}

void ZDataList::slotRename(QString path)
{
    const ExperimentRef ref = RecordActions::experimentOf(path);
    const QString experiment = ref.name;
    if (!RecordActions::allowed(this, RecordActions::changeRefusal(path, Permission::RenameRecords)))
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ZMessageBox::tell(this, UI::RenameError);
        return;
    }
    file.close();
    // A name the rules refuse is told, and the dialog comes back with it to be edited.
    QString proposed = QFileInfo(path).fileName();
    for (int attempt = 0; attempt < MaxRenameAttempts; ++attempt) {
        InputTextDialog dialog(proposed, this);
        if (dialog.exec() != QDialog::Accepted)
            return;
        const QString name = dialog.getVariant().toString();
        const QString fault = ExperimentFiles::rename(path, name);
        if (fault.isEmpty()) {
            const QString renamed = QFileInfo(path).dir().filePath(name + ".pcrd");
            RecordActions::ask([&](RecordSession& s) {
                s.recordOn(ref, QStringLiteral("重命名"), experiment, name);
                // The new name carries the history on: its own entries point back to the old one.
                s.recordOn(ExperimentRef(name, ref.id), QStringLiteral("重命名"), experiment, name);
                s.signatures().rename(experiment, name);
                s.forgetExperiment(experiment);
                s.indexExperiment(ExperimentRef(name, ref.id), renamed);
            });
            return;
        }
        ZMessageBox::tell(this, fault);
        // Only a refused name is worth another try; an open file or a refused rename is not.
        if (fault == UI::RenameError || ExperimentName::isOpen(path))
            return;
        proposed = name + ".pcrd";
    }
}
