#include "CliRunner.h"
#include "ModalAnswer.h"
#include "Synthetic.h"
#include "TestDir.h"
#include "TestServer.h"
#include "app/DataHead.h"
#include "app/Settings.h"
#include "app/UI.h"
#include "analysis/SampleResults.h"
#include "files/OutData.h"
#include "instrument/Machine.h"
#include "records/RecordSession.h"
#include "ui/records/RecordActions.h"
#include "ui/run/ZRunWidget.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QSqlQuery>
#include <QTableWidget>
#include <memory>
#include <QtTest>

namespace {

// What someone with write access to the database, not the program, could do.
void tamper(RecordSession& session, const QString& statement)
{
    const bool postgres = session.store().isPostgres();
    const QStringList statements = postgres ? QStringList{"ALTER TABLE audit DISABLE TRIGGER audit_append_only", statement}
                                            : QStringList{"DROP TRIGGER IF EXISTS audit_no_update", "DROP TRIGGER IF EXISTS audit_no_delete", statement};
    for (const QString& s : statements)
        QVERIFY2(session.store().exec(s), qPrintable(session.fault()));
}

}

class TestAudit : public QObject
{
    Q_OBJECT
private slots:
    void rolesSignaturesAndTrail_data();
    void rolesSignaturesAndTrail();
    void cliRecordsAndReport();
    void signedPageRefusesChanges();
    void resultsFoundAcrossRuns_data() { rolesSignaturesAndTrail_data(); }
    void resultsFoundAcrossRuns();
    void approvalSendsResults();

private:
    TestDir mDir;
};

void TestAudit::rolesSignaturesAndTrail_data()
{
    QTest::addColumn<QString>("location");
    QTest::newRow("sqlite") << mDir.file("store.sqlite");
    if (!serverUrl().isEmpty())
        QTest::newRow("postgresql") << serverUrl();
}

void TestAudit::rolesSignaturesAndTrail()
{
    QFETCH(QString, location);
    if (location.startsWith("postgresql"))
        emptyServer(location);
    RecordSession s(location);
    const ExperimentRef exp(QStringLiteral("exp"));
    QVERIFY2(s.open(), qPrintable(s.fault()));
    QVERIFY(!s.usersOn());
    QVERIFY(s.may(Permission::DeleteRecords)); // users off: as before
    QCOMPARE(s.users().init("admin", "王管理", "short"), QString("密码至少8个字符"));
    QCOMPARE(s.users().init("admin", "王管理", "admin-pass"), QString());
    QVERIFY(s.usersOn());
    QCOMPARE(s.login("admin", "admin-pass"), QString());
    QCOMPARE(s.users().add("rev", "李审核", Role::Reviewer, "review-pass"), QString());
    QCOMPARE(s.users().add("op", "", Role::Operator, "operate-pass"), QString());
    QVERIFY(!s.users().add("op", "", Role::Operator, "operate-pass").isEmpty());

    // An operator runs and analyses, deletes nothing, signs nothing.
    s.logout();
    QCOMPARE(s.login("op", "operate-pass"), QString());
    QVERIFY(s.may(Permission::ChangeResults));
    QCOMPARE(s.refusal(Permission::DeleteRecords), QString("当前用户op（操作员）无权删除实验"));
    QVERIFY(!s.sign(exp, mDir.file("exp.pcrd"), "审核", "operate-pass").isEmpty());

    // Five wrong passwords lock the account, even against the right one; a new password opens it.
    s.logout();
    for (int i = 0; i < UserDirectory::MaxFailedLogins; ++i)
        QVERIFY(!s.login("rev", "wrong").isEmpty());
    // Locked, the right password gets the answer an unknown name gets.
    QCOMPARE(s.login("rev", "review-pass"), s.login("nobody", "review-pass"));
    UserAccount rev;
    QVERIFY(s.users().find("rev", rev) && rev.failed == UserDirectory::MaxFailedLogins);
    QCOMPARE(s.users().setPassword("rev", "review-pass2"), QString());
    QCOMPARE(s.login("rev", "review-pass2"), QString());

    // A signature locks the experiment for everyone until an administrator's unlock voids it.
    QFile file(mDir.file("exp.pcrd"));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("record") > 0);
    file.close();
    QCOMPARE(s.sign(exp, file.fileName(), "审核", "wrong"), QString("密码错误，未签名"));
    QCOMPARE(s.sign(exp, file.fileName(), "审核", "review-pass2"), QString());
    QVERIFY(s.changeRefusal(exp).contains("已签名锁定"));
    QCOMPARE(s.warning(exp, file.fileName()), QString());
    QVERIFY(file.open(QIODevice::Append) && file.write("!") > 0);
    file.close();
    QVERIFY(s.warning(exp, file.fileName()).startsWith("文件在签名后已被改动"));
    QVERIFY(s.unlock(exp, "wrong file").contains("无权"));
    s.logout();
    QCOMPARE(s.login("admin", "admin-pass"), QString());
    QVERIFY(!s.unlock(exp, "").isEmpty());
    QCOMPARE(s.unlock(exp, "re-analysis"), QString());
    QCOMPARE(s.changeRefusal(exp), QString());
    QCOMPARE(s.signatures().of(exp).voided.first().voided, QString("re-analysis"));

    if (s.store().isPostgres()) {
        // A connection the server dropped (a restart) is made again for the next entry.
        s.store().exec("SELECT pg_terminate_backend(pg_backend_pid())");
        QVERIFY2(s.record("检查", "session", "admin"), qPrintable(s.fault()));
    }

    // The trail holds all of it in order, and refuses to be changed by the program's own means.
    const QVector<AuditEntry> trail = s.trail().list();
    QStringList actions;
    for (const AuditEntry& e : trail)
        actions << e.action;
    QVERIFY(actions.contains("登录失败") && actions.contains("签名") && actions.contains("解锁"));
    QCOMPARE(s.trail().list("experiment", "exp").last().reason, QString("re-analysis"));
    AuditTrail::Check check = s.trail().verify();
    QCOMPARE(check.entries, qint64(trail.size()));
    QCOMPARE(check.brokenAt, qint64(0));
    QVERIFY(!s.store().exec("UPDATE audit SET reason = 'x' WHERE id = 3"));

    // A changed entry and a removed one each break the chain where they are.
    tamper(s, "UPDATE audit SET new_value = 'nothing happened' WHERE id = 4");
    check = s.trail().verify();
    QCOMPARE(check.brokenAt, qint64(4));
    QVERIFY(check.why.contains("changed"));
    tamper(s, "UPDATE audit SET new_value = '" + trail[3].newValue + "' WHERE id = 4");
    QCOMPARE(s.trail().verify().brokenAt, qint64(0));
    tamper(s, "DELETE FROM audit WHERE id = 6");
    QCOMPARE(s.trail().verify().brokenAt, qint64(7));
}

void TestAudit::cliRecordsAndReport()
{
    QCOMPARE(runCli({"users", "init", "--admin", "admin", "--full-name", "王管理", "--password-stdin"}, 30000, "admin-pass\n").code, 0);
    QCOMPARE(runCli({"users", "add", "op", "--role", "operator", "--user", "admin", "--password-stdin"}, 30000,
                    "admin-pass\noperate-pass\n").code, 0);
    QCOMPARE(runCli({"users", "add", "rev", "--role", "reviewer", "--full-name", "李审核", "--user", "admin", "--password-stdin"},
                    30000, "admin-pass\nreview-pass\n").code, 0);
    // With users on, a record is made only by someone who says who they are.
    const QString rdml = TAMARIN_SOURCE_DIR "/tests/data/public-rdml/dilutions_f109.rdml";
    CliResult r = runCli({"import", rdml, "dil.pcrd"});
    QCOMPARE(r.code, 1);
    QVERIFY(r.err.contains("--user"));
    QCOMPARE(runCli({"import", rdml, "dil.pcrd", "--user", "op", "--password-stdin"}, 30000, "operate-pass\n").code, 0);
    r = runCli({"users", "add", "x", "--user", "op", "--password-stdin"}, 30000, "operate-pass\nxxxxxxxxx\n");
    QVERIFY(r.err.contains("无权管理用户"));
    r = runCli({"sign", "dil.pcrd", "--meaning", "批准", "--user", "rev", "--password-stdin"}, 30000, "review-pass\n");
    QCOMPARE(r.code, 0);
    // With a LIS folder, an approval sends the results on; this run's standard curve fails its
    // acceptance, so they stay, which the signer is told as a failure, while the signature holds.
    Settings(UI::SettingsFile, QSettings::IniFormat).setValue("LIS/Folder", mDir.path());
    r = runCli({"sign", "dil.pcrd", "--meaning", "批准", "--user", "rev", "--password-stdin"}, 30000, "review-pass\n");
    Settings(UI::SettingsFile, QSettings::IniFormat).remove("LIS");
    QCOMPARE(r.code, 1);
    QVERIFY(r.out.startsWith("dil signed: 批准 by 李审核"));
    QVERIFY2(r.err.startsWith("tamarin-cli sign: 结果未发送到LIS：检测无效：标准曲线"), qPrintable(r.err));

    // The report holds the calls and the signature, in text that prints anywhere.
    QCOMPARE(runCli({"report", "dil.pcrd", "dil.pdf", "--user", "op", "--password-stdin"}, 60000, "operate-pass\n").code, 0);
    QProcess text;
    text.start("pdftotext", {"dil.pdf", "-"});
    QVERIFY(text.waitForFinished(30000));
    const QString pdf = QString::fromUtf8(text.readAllStandardOutput());
    QVERIFY(pdf.contains("荧光定量PCR检测报告") && pdf.contains("阳性") && pdf.contains("样本结果"));
    QVERIFY(pdf.contains("李审核") && pdf.contains("批准") && pdf.contains(Signatures::fileHash("dil.pcrd")));

    r = runCli({"audit", "list", "--experiment", "dil"});
    QCOMPARE(r.code, 0);
    for (const char* action : {"op@", "导入", "rev@", "签名", "导出"})
        QVERIFY2(r.out.contains(QString::fromUtf8(action)), qPrintable(r.out));
    QCOMPARE(runCli({"audit", "verify"}).code, 0);
    {
        RecordSession s("records.sqlite");
        QVERIFY(s.open());
        tamper(s, "UPDATE audit SET user_name = 'someone' WHERE action = '导出'");
    }
    r = runCli({"audit", "verify"});
    QCOMPARE(r.code, 1);
    QVERIFY(r.out.contains("the chain breaks at entry"));
}

void TestAudit::signedPageRefusesChanges()
{
    // The program's own store, with users on and a reviewer's signature on an experiment.
    RecordSession& s = *DataHead::instance()->getMpRecords();
    QVERIFY(s.isOpen());
    QCOMPARE(s.login("rev", "review-pass"), QString());
    const ExperimentRef dil = ExperimentRef::of(mDir.file("dil.pcrd"));
    QCOMPARE(s.sign(dil, mDir.file("dil.pcrd"), "审核", "review-pass"), QString());
    s.logout();
    QCOMPARE(s.login("op", "operate-pass"), QString());

    OutData record;
    QCOMPARE(record.openAs(mDir.file("dil.pcrd")), 0);
    Machine machine(1, 20);
    ZRunWidget page(nullptr, &machine);
    page.setMFilePath(mDir.file("dil.pcrd"));
    page.setInData(record.inData);
    page.setOutData(record);
    QVERIFY2(page.findChild<QLabel*>("label_Signatures")->text().contains("李审核"), qPrintable(page.findChild<QLabel*>("label_Signatures")->text()));
    ModalAnswer refused("pushButton_Confirm");
    page.slotCellDoubleClicked(0, 4);
    QVERIFY(refused.text().contains("已签名锁定"));
    OutData after;
    QCOMPARE(after.openAs(mDir.file("dil.pcrd")), 0);
    QVERIFY(after == record);

    // Unlocked, the operator's change is saved only with a reason, which the trail keeps.
    s.logout();
    QCOMPARE(s.login("admin", "admin-pass"), QString());
    QCOMPARE(s.unlock(dil, "recheck"), QString());
    s.logout();
    QCOMPARE(s.login("op", "operate-pass"), QString());
    std::unique_ptr<ModalAnswer> reason;
    ModalAnswer change([&reason](QWidget* dialog) {
        dialog->findChild<QCheckBox*>("checkBox_AutoThreshold")->setChecked(false);
        dialog->findChild<QDoubleSpinBox*>("dSpinBox_BaseT")->setValue(1234);
        reason = std::make_unique<ModalAnswer>([](QWidget* asked) {
            asked->findChild<QLineEdit*>("lineEdit_Reason")->setText("baseline noise");
            asked->findChild<QPushButton*>("pushButton_Confirm")->click();
        });
        dialog->findChild<QPushButton*>("pushButton_Confirm")->click();
    });
    page.slotCellDoubleClicked(0, 4);
    QVERIFY(reason && reason->answered());
    // The change, then the save with the file's hash that later opens compare with.
    const QVector<AuditEntry> history = s.trail().list("experiment", "dil");
    QVERIFY(history.last().action == "保存实验" && history.last().newValue == "SHA-256 " + Signatures::fileHash(mDir.file("dil.pcrd")));
    const AuditEntry last = history.at(history.size() - 2);
    QCOMPARE(last.action, QString("修改分析设置"));
    QCOMPARE(last.newValue, QString("1234.00"));
    QCOMPARE(last.reason, QString("baseline noise"));
    QCOMPARE(last.user, QString("op"));

    // A standard left out: its reason is asked once, kept beside it, and the trail names the hole.
    auto* standards = page.findChild<QTableWidget*>("tableWidget_Standards");
    QVERIFY(standards->rowCount() > 0);
    std::unique_ptr<ModalAnswer> again;
    ModalAnswer why([&again](QWidget* asked) {
        asked->findChild<QLineEdit*>("lineEdit_Reason")->setText("移液误差");
        asked->findChild<QPushButton*>("pushButton_Confirm")->click();
        again = std::make_unique<ModalAnswer>("pushButton_Cancel", 500);
    });
    standards->item(0, 7)->setCheckState(Qt::Checked);
    QVERIFY(why.answered() && !again->answered());
    QCOMPARE(standards->item(0, 8)->text(), QString("移液误差"));
    const QVector<AuditEntry> entries = s.trail().list("experiment", "dil");
    const AuditEntry excluded = entries.at(entries.size() - 2); // before the save's own entry
    QCOMPARE(excluded.action, QString("修改定量设置"));
    QVERIFY2(excluded.oldValue.startsWith("标准品 孔位" + standards->item(0, 0)->text() + ' ') && excluded.oldValue.endsWith("：纳入"),
             qPrintable(excluded.oldValue));
    QCOMPARE(excluded.newValue, QString("排除：移液误差"));
    QCOMPARE(excluded.reason, QString("移液误差"));
}

void TestAudit::resultsFoundAcrossRuns()
{
    // Three runs a day apart; the third one's first sample is named otherwise, and one is signed.
    QFETCH(QString, location);
    if (location.startsWith("postgresql"))
        emptyServer(location);
    else
        QFile::remove(location);
    RecordSession s(location);
    QVERIFY2(s.open(), qPrintable(s.fault()));
    for (int day = 1; day <= 3; ++day) {
        OutData d = Synthetic::controlledPlate();
        d.inData.dateTime = QDateTime(QDate(2026, 11, day), QTime(9, 0));
        if (day == 3)
            d.inData.sampleNames[0] = "Pos_Ctrl%";
        const QString name = QString("run%1").arg(day);
        QVERIFY(d.saveAsFilePath(mDir.file(name + ".pcrd")));
        s.record("运行", "experiment", name);
        QVERIFY(s.indexExperiment(name, mDir.file(name + ".pcrd")));
    }
    QVERIFY(!s.indexExperiment(QString("missing"), mDir.file("missing.pcrd")));
    QCOMPARE(s.users().init("admin", "王管理", "admin-pass"), QString());
    QCOMPARE(s.login("admin", "admin-pass"), QString());
    QCOMPARE(s.sign(QString("run2"), mDir.file("run2.pcrd"), "批准", "admin-pass"), QString());

    const auto found = [&s](const ResultIndex::Query& q) {
        QVector<ResultIndex::Hit> hits;
        [&] { QVERIFY2(s.findExperiments(q, hits), qPrintable(s.results().fault())); }();
        QStringList names;
        for (const ResultIndex::Hit& h : hits)
            names << h.experiment;
        return names;
    };
    ResultIndex::Query q;
    QCOMPARE(found(q), QStringList({"run3", "run2", "run1"}));
    q.sample = "pos_ctrl%"; // any case; % is a letter, not a wildcard
    QCOMPARE(found(q), QStringList({"run3"}));
    q.sample = "甲";
    q.from = QDate(2026, 11, 2);
    QCOMPARE(found(q), QStringList({"run2"}));
    q = ResultIndex::Query();
    q.call = SampleResults::invalid(); // 丙's internal control failed in every run
    q.signedState = 0;
    q.to = QDate(2026, 11, 2);
    QCOMPARE(found(q), QStringList({"run1"}));
    q.signedState = 1;
    QCOMPARE(found(q), QStringList({"run2"}));

    QVector<ControlTrend::Point> points;
    QVERIFY(s.results().trend("甲", "靶标", points));
    QCOMPARE(points.size(), 2);
    QVERIFY(points[0].time < points[1].time && std::fabs(points[0].ct - points[1].ct) < 1e-9);
    QVERIFY(s.results().trend("乙", "靶标", points));
    QCOMPARE(points.size(), 3);
    QVERIFY2(std::isnan(points[0].ct), qPrintable(QString::number(points[0].ct)));
}

void TestAudit::approvalSendsResults()
{
    // A reviewer approves a run of negatives from the experiment's menu; the lab's LIS folder gets it.
    RecordSession& s = *DataHead::instance()->getMpRecords();
    s.logout();
    QCOMPARE(s.login("rev", "review-pass"), QString());
    QVERIFY(Synthetic::experiment(40, false).saveAsFilePath(mDir.file("neg.pcrd")));
    QVERIFY(QDir().mkpath(mDir.file("lis")));
    DataHead::instance()->getMpSettings()->setValue("LIS/Folder", mDir.file("lis"));
    QWidget page;
    QMenu menu;
    RecordActions::addTo(menu, &page, mDir.file("neg.pcrd"), [] {});
    const QList<QAction*> actions = menu.actions();
    const auto sign = std::find_if(actions.cbegin(), actions.cend(), [](QAction* a) { return a->text() == UI::ActionSign; });
    QVERIFY(sign != actions.cend());
    ModalAnswer approve([](QWidget* dialog) {
        dialog->findChild<QComboBox*>("comboBox_Meaning")->setCurrentText("批准");
        dialog->findChild<QLineEdit*>("lineEdit_Password")->setText("review-pass");
        dialog->findChild<QPushButton*>("pushButton_Sign")->click();
    });
    (*sign)->trigger();
    QVERIFY(approve.answered());
    QCOMPARE(QDir(mDir.file("lis")).entryList({"neg-*.hl7"}).size(), 1);
    QCOMPARE(s.trail().list("experiment", "neg").last().action, QString("发送LIS"));
    // An approved experiment's menu sends it again, in a file of its own.
    QMenu again;
    RecordActions::addTo(again, &page, mDir.file("neg.pcrd"), [] {});
    const QList<QAction*> entries = again.actions();
    const auto resend = std::find_if(entries.cbegin(), entries.cend(), [](QAction* a) { return a->text() == UI::ActionResendLis; });
    QVERIFY(resend != entries.cend());
    (*resend)->trigger();
    DataHead::instance()->getMpSettings()->remove("LIS");
    QCOMPARE(QDir(mDir.file("lis")).entryList({"neg-*.hl7"}).size(), 2);
}

QTEST_MAIN(TestAudit)
#include "tst_audit.moc"
