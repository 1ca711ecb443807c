#pragma once

#include <QByteArray>
#include <QString>

// Read access to the parts of a zip archive (a workbook). An archive is untrusted input: no part
// is read beyond a bound, whatever its header claims.
class ZipArchive
{
public:
    explicit ZipArchive(const QString& path);
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    bool isOpen() const { return mZip != nullptr; }
    // The part's bytes; empty when it is missing or damaged. A part that inflates to more than
    // maxBytes gives empty bytes and sets tooLarge.
    QByteArray read(const QString& name, qint64 maxBytes, bool* tooLarge = nullptr);

private:
    void* mZip = nullptr;
};
