#pragma once

// What the view shows over a page that could not be loaded, in place of the
// engine's own error page: the reason, the address and a button that tries
// again. A widget of the program's own, not page content, so no page can
// script, restyle or imitate it; it covers the whole view and follows its size.

#include <QString>
#include <QWidget>

class QLabel;
class QPushButton;

class LoadFailureCover : public QWidget {
    Q_OBJECT
public:
    explicit LoadFailureCover(QWidget* view);

    // Covers the view with reason and address; the focus of the view goes to
    // the button.
    void cover(const QString& reason, const QString& address);
    // Covers the view again with the failure shown last.
    void coverAgain();
    // Takes the cover away; the focus it had goes back to the view.
    void uncover();

signals:
    // The visitor asks to load the address again.
    void retry();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void showAddress();

    QLabel* reasonLabel = nullptr;
    QLabel* addressLabel = nullptr;
    QPushButton* retryButton = nullptr;
    QString address;
};
