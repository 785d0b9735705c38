#pragma once

#include <QTextBrowser>
#include <QUrl>

namespace tavimond {

// The tips page (WebBrowser2). The first page loads inside it; once a page has
// completed, every link but "about:blank" opens in the desktop's browser instead and
// the page stays as it is.
class TipsBrowser : public QTextBrowser {
    Q_OBJECT
public:
    explicit TipsBrowser(QWidget *parent = nullptr);

    // Loads a page inside the browser.
    void navigate(const QUrl &url);
    // True once a page has completed and links are diverted.
    bool divertsLinks() const { return divertLinks_; }

    // A page finished loading: the page loses its border and scroll bars and, from now
    // on, links are diverted.
    void WebBrowser2DocumentComplete();
    // Asked before a link is followed; sets cancel when the link goes to the desktop,
    // and raises Error when the desktop opens nothing for it.
    void WebBrowser2BeforeNavigate2(const QUrl &url, bool &cancel);

private:
    void followLink(const QUrl &url);

    bool divertLinks_ = false;
};

} // namespace tavimond
