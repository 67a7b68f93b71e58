#pragma once

#include <QString>
#include <QStringView>

class QWidget;

namespace lexiglow {

// Asks the user for a file to open. Tests answer in its place.
class FileDialog
{
public:
    virtual ~FileDialog() = default;
    // The chosen file's full path, or an empty text when the user cancels.
    // filter is in Qt's form, "Lexiglow Files (*.lxg)".
    virtual QString getOpenFileName(QWidget *parent, const QString &filter) = 0;
};

// The platform's open-file dialog.
class SystemFileDialog final : public FileDialog
{
public:
    SystemFileDialog() = default;
    Q_DISABLE_COPY_MOVE(SystemFileDialog)

    QString getOpenFileName(QWidget *parent, const QString &filter) override;
};

// A filter written as description "|" pattern pairs ("Lexiglow Files|*.lxg",
// patterns of one entry separated by ";") in Qt's form
// ("Lexiglow Files (*.lxg)", entries separated by ";;").
QString qtFileFilter(QStringView filter);

} // namespace lexiglow
