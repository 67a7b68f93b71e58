#pragma once

#include <QDialog>
#include <QUrl>

#include <chrono>

class QFrame;
class QLabel;
class QPushButton;
class QTimer;

namespace lexiglow {

class UrlOpener;

// The About window, which is also the start-up splash: the logo, the
// version, a notice line and "Visit Website". It has no title bar and closes
// on a key that types a character, a click on a free part of its frame, or,
// while automatic closing is on, when Timer1 runs out.
class frmSplash final : public QDialog
{
    Q_OBJECT

public:
    // Timer1 runs from creation, closing the window after autoCloseDelay.
    // Without a website, "Visit Website" is not shown.
    frmSplash(UrlOpener &urlOpener, const QString &website, std::chrono::milliseconds autoCloseDelay,
              QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(frmSplash)

    // Opened through "About", the window stays until the user closes it.
    void stopAutoClose();
    // Shows the window modally in the middle of the screen.
    void showModal();

    // Sized to its controls and its screen before it shows.
    void setVisible(bool visible) override;

    static QUrl websitePage(const QString &website);
    static QString versionText();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildFrame();
    void watchAllKeys();
    bool isFreeFrameClick(QObject *watched, QEvent *event) const;

    UrlOpener &m_urlOpener;
    QTimer *m_timer = nullptr;
    QFrame *m_frame = nullptr;
    QLabel *m_picture = nullptr;
    QPushButton *m_visitWebsite = nullptr;
};

} // namespace lexiglow
