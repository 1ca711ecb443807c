#include <QDirIterator>
#include <QXmlStreamReader>
#include <QtTest>

// The window forms stay as Qt Designer writes them, one property a line, so that a change shows
// as the lines it changes and Designer does not rewrite a file it merely saves.
class TestForms : public QObject
{
    Q_OBJECT
private slots:
    void formsAreReviewable();
};

void TestForms::formsAreReviewable()
{
    int forms = 0;
    QDirIterator it(TAMARIN_SOURCE_DIR "/ui", {"*.ui"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile form(it.next());
        QVERIFY(form.open(QIODevice::ReadOnly));
        const QByteArray text = form.readAll();
        const QList<QByteArray> lines = text.split('\n');
        QVERIFY2(lines.size() > 10, qPrintable(form.fileName()));
        for (int i = 0; i < lines.size(); ++i)
            QVERIFY2(QString::fromUtf8(lines[i]).size() <= 200, qPrintable(QString("%1:%2").arg(form.fileName()).arg(i + 1)));
        QXmlStreamReader xml(text);
        while (!xml.atEnd())
            xml.readNext();
        QVERIFY2(!xml.hasError(), qPrintable(form.fileName() + ": " + xml.errorString()));
        ++forms;
    }
    QVERIFY(forms > 0);
}

QTEST_GUILESS_MAIN(TestForms)
#include "tst_forms.moc"
