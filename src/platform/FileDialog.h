#pragma once

#include <QString>
#include <QStringView>

#include <utility>

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

    // Where the next getOpenFileName starts; none starts where the platform's
    // dialog starts by itself.
    void startNextIn(const QString &folder) { m_nextFolder = folder; }

protected:
    // The folder to start in, once.
    QString takeNextFolder() { return std::exchange(m_nextFolder, QString()); }

private:
    QString m_nextFolder;
};

// The platform's open-file dialog.
class SystemFileDialog final : public FileDialog
{
public:
    SystemFileDialog() = default;
    Q_DISABLE_COPY_MOVE(SystemFileDialog)

    QString getOpenFileName(QWidget *parent, const QString &filter) override;
};

// Every spelling of *.extension in upper and lower case, separated by ";",
// for a filter that finds "PETS.LXG" as well as "pets.lxg": file dialogs on
// Linux (Qt's own, GTK's) match patterns case-sensitively, and GTK knows no
// character classes such as "[lL]".
QString anyCasePatterns(QStringView extension);

// A filter written as description "|" pattern pairs ("Lexiglow Files|*.lxg",
// patterns of one entry separated by ";") in Qt's form
// ("Lexiglow Files (*.lxg)", entries separated by ";;").
QString qtFileFilter(QStringView filter);

} // namespace lexiglow
