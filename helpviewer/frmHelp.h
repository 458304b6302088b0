#pragma once

#include <QDialog>

// The help window: loads a page, then the main window shows it modally.
class frmHelp : public QDialog {
    Q_OBJECT

public:
    frmHelp(const QString &programDir, QWidget *owner);

    // Each loads its page and returns true, or shows a message naming the file and returns false.
    bool SetHelpFile(qint16 item);
    bool ShowFAQ();
    bool ShowManual();

private:
    QString m_programDir;
};
