#include "tips_browser.h"

#include "desktop.h"

#include "ui/handler.h"

namespace tavimond {
namespace {

bool isBlankPage(const QUrl &url)
{
    return url.toString() == QLatin1String("about:blank");
}

} // namespace

TipsBrowser::TipsBrowser(QWidget *parent) : QTextBrowser(parent)
{
    // Links are ours to follow: the browser itself never navigates.
    setOpenLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, guarded([this](const QUrl &url) { followLink(url); }));
}

void TipsBrowser::navigate(const QUrl &url)
{
    if (isBlankPage(url)) {
        // Nothing to load: an empty page.
        clear();
    } else {
        setSource(url);
    }
    WebBrowser2DocumentComplete();
}

void TipsBrowser::WebBrowser2DocumentComplete()
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    divertLinks_ = true;
}

void TipsBrowser::WebBrowser2BeforeNavigate2(const QUrl &url, bool &cancel)
{
    if (isBlankPage(url))
        return;
    cancel = true;
    openOnDesktop(url);
}

void TipsBrowser::followLink(const QUrl &url)
{
    bool cancel = false;
    if (divertLinks_)
        WebBrowser2BeforeNavigate2(url, cancel);
    if (!cancel)
        navigate(url);
}

} // namespace tavimond
