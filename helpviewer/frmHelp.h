// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QPushButton;
class QTextEdit;

// The help window: a page of rich text with a "Close" button, without a title bar. Each of the
// three operations loads its page; the main window then shows the window modally. "Close" only
// hides it, so it keeps its page until the next one replaces it.
class frmHelp : public QDialog {
    Q_OBJECT

public:
    frmHelp(const QString &programDir, QWidget *owner);

    // Each loads its page and returns true, or shows a message naming the file and the reason
    // and returns false; the window keeps the page it had.
    bool SetHelpFile(qint16 item);
    bool ShowFAQ();
    bool ShowManual();

    // Esc does not close the help window: only "Close" does.
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool loadPage(const QString &path);
    // Headings and other coloured text keep enough contrast against the viewer's background.
    void fitColoursToPalette();
    void comDone_Click();

    QString m_programDir;
    QTextEdit *rtbHelpText;
    QPushButton *comDone;
};
