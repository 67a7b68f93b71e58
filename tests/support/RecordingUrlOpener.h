#pragma once

#include "platform/UrlOpener.h"

#include <QList>
#include <QUrl>

// Keeps the addresses the program asked the browser to open.
class RecordingUrlOpener final : public lexiglow::UrlOpener
{
public:
    void open(const QUrl &url) override { opened.append(url); }

    QList<QUrl> opened;
};
