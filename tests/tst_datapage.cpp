#include "Synthetic.h"
#include "TestDir.h"
#include "UpdateRun.h"
#include "app/DataHead.h"
#include "app/ExperimentName.h"
#include "app/Settings.h"
#include "app/UI.h"
#include "app/ZGLOBAL.h"
#include "files/RdmlExport.h"
#include "ui/data/FileView.h"
#include "ui/data/ZDataList.h"
#include "ui/update/AboutDiolog.h"
#include "update/HttpManager.h"

#include <QCryptographicHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTreeView>

namespace {
QStringList listed(QTreeView* view)
{
    QStringList names;
    for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
        names << view->model()->index(row, 0, view->rootIndex()).data().toString();
    names.sort();
    return names;
}

QModelIndex entry(QTreeView* view, const QString& name)
{
    for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
        if (view->model()->index(row, 0, view->rootIndex()).data().toString() == name)
            return view->model()->index(row, 0, view->rootIndex());
    return QModelIndex();
}

// Where the entry is drawn, once the view has laid it out.
QPoint centerOf(QTreeView* view, const QString& name)
{
    if (!QTest::qWaitFor([&] { return view->visualRect(entry(view, name)).isValid(); }))
        qWarning() << name << "never shown";
    return view->visualRect(entry(view, name)).center();
}

// The entries of the context menu opened at pos of the view's viewport; chooses entry if given.
QStringList contextMenu(QTreeView* view, QPoint pos, const QString& choose = QString())
{
    QStringList entries;
    inNextMenu([&entries, choose](QMenu* menu) {
        for (QAction* action : menu->actions())
            if (!action->isSeparator())
                entries << action->text();
        for (QAction* action : menu->actions())
            if (!choose.isEmpty() && action->text() == choose)
                action->trigger();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, pos, view->viewport()->mapToGlobal(pos));
    QApplication::sendEvent(view->viewport(), &event);
    return entries;
}

// Renames through the page's dialog, typing text; returns what the program said ("" if nothing).
QString rename(ZDataList& page, const QString& path, const QString& text)
{
    QString said;
    // What the program says, then the rename dialog again, which is left.
    std::unique_ptr<ModalAnswers> told;
    ModalAnswer typed([&](QWidget* dialog) {
        auto* edit = dialog->findChild<QLineEdit*>("lineEdit");
        if (!edit) {
            said = dialog->findChild<QLabel*>("label_Info")->text();
            return dialog->findChild<QPushButton*>("pushButton_Confirm")->click();
        }
        edit->setText(text);
        told = std::make_unique<ModalAnswers>(QStringList({"pushButton_Confirm", "pushButton_Cancel"}));
        dialog->findChild<QPushButton*>("pushButton_Confirm")->click();
    });
    page.slotRename(path);
    return told ? told->texts().value(0) : said;
}

QByteArray versionFile(const QString& name, int micro, const QString& md5)
{
    return QJsonDocument(QJsonObject{{"name", name}, {"major", 0}, {"minor", 0}, {"micro", micro}, {"control", 1}, {"md5", md5}})
        .toJson();
}
}

class TestDataPage : public QObject
{
    Q_OBJECT
private slots:
    void dataPage();
    void updateCheck();
    void updateDownload();
};

void TestDataPage::dataPage()
{
    TestDir dir;
    qputenv("XDG_DATA_HOME", dir.file("share").toUtf8());
    const QString folder = UI::UserDirName.arg(QDir::currentPath());
    QVERIFY(QDir().mkpath(folder));
    for (const char* name : {"run1.pcrd", "run3.pcrd", "abc-1.pcrd", "xabcx.pcrd", "abc.txt"})
        QVERIFY(ZGLOBAL::writeFile(folder + name, "x"));
    ZDataList page;
    page.resize(1200, 700);
    page.show();
    auto* view = page.findChild<FileView*>("treeView");
    QTRY_COMPARE(listed(view), QStringList({"abc-1.pcrd", "run1.pcrd", "run3.pcrd", "xabcx.pcrd"}));
    // Newest first, a file coming in takes the top; its state is read once it is on show.
    QVERIFY(ZGLOBAL::writeFile(folder + "newest.pcrd", "x"));
    QTRY_COMPARE(view->model()->index(0, 0).data().toString(), QString("newest.pcrd"));
    QTRY_COMPARE(view->model()->index(0, 2).data().toString(), QString("未完成"));
    QVERIFY(QFile::remove(folder + "newest.pcrd"));

    // The filter lists only experiment files whose names hold the text.
    QTest::keyClicks(page.findChild<QLineEdit*>("lineEditTextFilter"), "abc");
    QTRY_COMPARE(listed(view), QStringList({"abc-1.pcrd", "xabcx.pcrd"}));
    page.findChild<QLineEdit*>("lineEditTextFilter")->clear();
    QTRY_COMPARE(listed(view).size(), 4);

    // Empty space offers only import and the folder; an entry offers everything.
    QCOMPARE(contextMenu(view, QPoint(20, view->viewport()->height() - 10)), QStringList({UI::ActionImport, UI::ActionUrl}));
    const QPoint onRun1 = centerOf(view, "run1.pcrd");
    QCOMPARE(contextMenu(view, onRun1).size(), 11);

    // A double click opens, a press does not.
    QSignalSpy opened(&page, &ZDataList::signalOpenFile);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, onRun1);
    QCOMPARE(opened.count(), 0);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, onRun1);
    QCOMPARE(opened.count(), 1);
    QCOMPARE(opened.at(0).at(0).toString(), folder + "run1.pcrd");

    // Renaming: within the folder and the naming rules, never over another file.
    QCOMPARE(rename(page, folder + "run1.pcrd", "run2"), QString());
    QVERIFY(QFile::exists(folder + "run2.pcrd") && !QFile::exists(folder + "run1.pcrd"));
    QCOMPARE(rename(page, folder + "run2.pcrd", "run3"), UI::NameRepeat);
    QVERIFY(QFile::exists(folder + "run2.pcrd") && QFile::exists(folder + "run3.pcrd"));
    QCOMPARE(rename(page, folder + "run2.pcrd", "../x"), UI::NameInvalid);
    QVERIFY(QFile::exists(folder + "run2.pcrd") && !QFile::exists(dir.file("x.pcrd")));
    QCOMPARE(rename(page, folder + "gone.pcrd", "y"), UI::RenameError);
    {
        // A file open in a page keeps its name: a later save there never re-creates the old one.
        ExperimentName::open(folder + "run3.pcrd");
        QCOMPARE(rename(page, folder + "run3.pcrd", "run4"), UI::ExperimentOpen.arg("run3.pcrd"));
        QVERIFY(QFile::exists(folder + "run3.pcrd") && !QFile::exists(folder + "run4.pcrd"));
        ExperimentName::close(folder + "run3.pcrd");
    }

    // Deleting two selected files asks with the count, and both go to the trash.
    QTRY_VERIFY(entry(view, "run2.pcrd").isValid());
    view->selectionModel()->select(entry(view, "run2.pcrd"), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    view->selectionModel()->select(entry(view, "run3.pcrd"), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    ModalAnswer confirm("pushButton_Confirm");
    contextMenu(view, centerOf(view, "run3.pcrd"), UI::ActionDel);
    QCOMPARE(confirm.text(), UI::DelPcrdFiles.arg(2));
    QVERIFY(!QFile::exists(folder + "run2.pcrd") && !QFile::exists(folder + "run3.pcrd"));
    QVERIFY(QFile::exists(dir.file("share/Trash/files/run3.pcrd")));

    // 导入 takes an RDML file's run as an experiment under the file's name, and tells why a file
    // does not fit.
    QVERIFY(RdmlExport::save(Synthetic::controlledPlate(), "run", dir.file("from-rdml.rdml")));
    QFile threeDyes(dir.file("three.xml"));
    QVERIFY(threeDyes.open(QIODevice::WriteOnly));
    threeDyes.write("<rdml version='1.3'><target id='a'><dyeId id='FAM'/></target><target id='b'><dyeId id='HEX'/></target>"
                    "<target id='c'><dyeId id='Cy5'/></target><experiment id='e'><run id='r'><react id='1'><sample id='s'/>"
                    "<data><tar id='a'/><adp><cyc>1</cyc><fluor>1</fluor></adp></data><data><tar id='b'/><adp><cyc>1</cyc><fluor>1</fluor></adp></data>"
                    "<data><tar id='c'/><adp><cyc>1</cyc><fluor>1</fluor></adp></data></react></run></experiment></rdml>");
    threeDyes.close();
    for (const QString& file : {dir.file("from-rdml.rdml"), dir.file("three.xml")}) {
        std::unique_ptr<ModalAnswer> told;
        ModalAnswer chosen([&](QWidget* dialog) {
            dialog->findChild<QLineEdit*>("fileNameEdit")->setText(file);
            told = std::make_unique<ModalAnswer>("pushButton_Confirm");
            QMetaObject::invokeMethod(dialog, "accept");
        });
        contextMenu(view, QPoint(20, view->viewport()->height() - 10), UI::ActionImport);
        if (file.endsWith(".xml"))
            QVERIFY2(told->text().contains("3 种染料"), qPrintable(told->text()));
    }
    OutData imported;
    QCOMPARE(imported.openAs(folder + "from-rdml.pcrd"), 0);
    QCOMPARE(imported.inData.sampleNames, QVector<QString>({"甲", "乙", "丙"}));
    QVERIFY(!QFile::exists(folder + "three.pcrd"));
    {
        // Imported again: the name is in use, the operator is told so and gives another.
        std::unique_ptr<ModalAnswer> told, renamed;
        QString proposed;
        ModalAnswer chosen([&](QWidget* dialog) {
            dialog->findChild<QLineEdit*>("fileNameEdit")->setText(dir.file("from-rdml.rdml"));
            told = std::make_unique<ModalAnswer>([&](QWidget* box) {
                renamed = std::make_unique<ModalAnswer>([&](QWidget* input) {
                    proposed = input->findChild<QLineEdit*>("lineEdit")->text();
                    input->findChild<QLineEdit*>("lineEdit")->setText("again");
                    input->findChild<QPushButton*>("pushButton_Confirm")->click();
                });
                box->findChild<QPushButton*>("pushButton_Confirm")->click();
            });
            QMetaObject::invokeMethod(dialog, "accept");
        });
        contextMenu(view, QPoint(20, view->viewport()->height() - 10), UI::ActionImport);
        QTRY_VERIFY(renamed && renamed->answered());
        QCOMPARE(proposed, QString("from-rdml-2")); // a free name is offered
    }
    QVERIFY(QFile::exists(folder + "again.pcrd"));

    // A file a run writes appears by itself.
    QVERIFY(ZGLOBAL::writeFile(folder + "new.pcrd", "x"));
    QTRY_VERIFY(entry(view, "new.pcrd").isValid());

    // 按结果查找 lists only the experiments the index finds; 显示全部 lists every one again.
    ModalAnswer search([](QWidget* dialog) {
        dialog->findChild<QLineEdit*>("lineEdit_Sample")->setText("甲");
        dialog->findChild<QPushButton*>("pushButton_Confirm")->click();
    });
    page.findChild<QPushButton*>("pushButton_Search")->click();
    QVERIFY(search.answered());
    QTRY_COMPARE(listed(view), QStringList({"again.pcrd", "from-rdml.pcrd"}));
    QCOMPARE(page.findChild<QLabel*>("label_SearchResult")->text(), UI::SearchFound.arg(2));
    page.findChild<QPushButton*>("pushButton_ClearSearch")->click();
    QTRY_VERIFY(entry(view, "new.pcrd").isValid());
    // 质控趋势 offers what the index holds and follows it over both runs.
    QString stats;
    ModalAnswer trends([&stats](QWidget* dialog) {
        auto* controls = dialog->findChild<QComboBox*>("comboBox_Control");
        controls->setCurrentIndex(controls->findText(QStringLiteral("甲 / 靶标")));
        stats = dialog->findChild<QLabel*>("label_Stats")->text();
        dialog->findChild<QPushButton*>("pushButton_Close")->click();
    });
    page.findChild<QPushButton*>("pushButton_Trends")->click();
    QVERIFY2(stats.contains(QStringLiteral("共2次运行")), qPrintable(stats));
}

void TestDataPage::updateCheck()
{
    TestDir dir;
    HttpsServer server(TAMARIN_SOURCE_DIR "/tests/data");
    Settings* settings = DataHead::instance()->getMpSettings();
    settings->setHttpIp(server.base());
    const QString app = QCoreApplication::applicationName();
    auto check = [](const QString& answerWith) {
        AboutDiolog about(nullptr, nullptr, 0);
        about.show();
        ModalAnswer answer(answerWith, 8000);
        about.findChild<QPushButton*>("pushButton_Update")->click();
        [&] { QTRY_VERIFY_WITH_TIMEOUT(answer.answered(), 8000); }();
        // Whatever the answer, the dialog stays open to try again or to be closed.
        return about.isVisible() ? answer.text() : QString("closed");
    };

    server.files["/tamarin/version.json"] = versionFile(app + "_setup_0.0.15.exe", 15, "x");
    QCOMPARE(check("pushButton_Confirm"), UI::HasNewest);
    server.files["/tamarin/version.json"] = versionFile(app + "_setup_0.0.16.exe", 16, "x");
    QCOMPARE(check("pushButton_Cancel"), UI::IsDownLoad.arg("0.0.16"));
    server.files["/tamarin/version.json"] = versionFile(app + "_setup_0.0.17.exe", 16, "x");
    QCOMPARE(check("pushButton_Confirm"), UI::UpdateInfoError.arg("软件信息错误"));
    server.files["/tamarin/version.json"] = QByteArray(70 * 1024, ' ') + versionFile(app + "_setup_0.0.16.exe", 16, "x");
    QCOMPARE(check("pushButton_Confirm"), UI::UpdateInfoError.arg("文件信息错误"));

    // A server that stops sending is given up after 3 s.
    server.stalled << "/tamarin/version.json";
    QCOMPARE(check("pushButton_Confirm"), UI::UpdateInfoError.arg("无法连接更新服务器"));
    server.stalled.clear();

    // Plain HTTP only to this machine.
    // A redirect is held to the same address rules: a server on this machine never sends the
    // program on to plain HTTP elsewhere.
    {
        HttpsServer local(TAMARIN_SOURCE_DIR "/tests/data", true);
        HttpManager http;
        QSignalSpy failed(&http, &HttpManager::signalInfoError);
        local.redirects["/elsewhere"] = "http://192.0.2.2/tamarin/version.json";
        QVERIFY(http.get(local.base() + "/elsewhere", dir.file("temp/redirected")));
        QVERIFY(failed.wait(5000));
        QCOMPARE(ZGLOBAL::readFile(dir.file("temp/redirected")), QByteArray());
    }
    const int asked = server.requests.size();
    settings->setHttpIp("http://192.0.2.7");
    QCOMPARE(check("pushButton_Confirm"), UI::UpdateAddressError.arg("http://192.0.2.7"));
    QCOMPARE(server.requests.size(), asked);
    settings->setHttpIp(QString());
}

void TestDataPage::updateDownload()
{
    TestDir dir;
    HttpsServer server(TAMARIN_SOURCE_DIR "/tests/data");
    DataHead::instance()->getMpSettings()->setHttpIp(server.base());
    const QByteArray installer = "#!/bin/sh\ntouch '" + dir.file("installed").toUtf8() + "'\n";
    const QString md5 = QCryptographicHash::hash(installer, QCryptographicHash::Md5).toHex();

    // Offered, fetched and checked; every question answered yes.
    QCOMPARE(runUpdate(server, installer, md5.toUpper(), 2), qMakePair(QStringList{UI::Md5Error}, 0));
    QCOMPARE(runUpdate(server, installer, md5, 2), qMakePair(QStringList{UI::UpdateFileSuccess}, 1));
    const QString path = dir.file("temp/tamarin_setup_0.1.0.exe");
    QCOMPARE(ZGLOBAL::readFile(path), installer);
    QCOMPARE(QFile::permissions(path) & 0x0777, QFileDevice::ExeUser | QFileDevice::WriteUser | QFileDevice::ReadUser);
    QTRY_VERIFY(QFile::exists(dir.file("installed")));

    // An installer that cannot be started is reported, and the program stays.
    QCOMPARE(runUpdate(server, "not a program", QString(), 3),
             qMakePair(QStringList({UI::UpdateFileSuccess, UI::InstallerStartError.arg("0.1.0")}), 0));
}

QTEST_MAIN(TestDataPage)
#include "tst_datapage.moc"
