// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "printer/parallelport.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class frmPort;
class frmPresets;
class frmHelp;

namespace kr52 {
class MSComm;
class PrinterLink;
struct SendPlan;
class CutPicture;
class ResponsiveSend;
} // namespace kr52

// The main window: the tabbed settings, the two printer actions, the cut-position adjuster, and
// the link state (cmode, lptport and the serial control MSComm1) that the port dialog sets.
class frmMain : public QWidget {
    Q_OBJECT
    Q_PROPERTY(qint16 cmode READ cmode WRITE setCmode)
    Q_PROPERTY(QString lptport READ lptport WRITE setLptport)

public:
    // When the controls of the four settings pages are built: with the window, or just after its
    // first frame is on screen, so that a window shown at start-up appears sooner. Either way
    // anything that needs them first (a profile, an action, the cut adjuster) builds them then.
    enum class SettingsPages { WithWindow, AfterFirstFrame };

    // programDir is the folder that holds help/ and Presets/.
    explicit frmMain(const QString &programDir, QWidget *parent = nullptr,
                     SettingsPages settingsPages = SettingsPages::WithWindow);
    ~frmMain() override;

    [[nodiscard]] qint16 cmode() const { return m_cmode; }
    void setCmode(qint16 mode) { m_cmode = mode; }
    [[nodiscard]] QString lptport() const { return m_lptport; }
    void setLptport(const QString &port) { m_lptport = port; }
    [[nodiscard]] kr52::MSComm *serialControl() const { return MSComm1; }

    // Sets the lists and the cut offset from the profile at path; lists it leaves out go to "No
    // change". A profile with any fault is refused whole with one message that names the file and
    // line, and nothing changes. Never sends anything and never chooses a port. Returns whether
    // the profile was taken.
    bool openProfile(const QString &path);
    // Writes the current choices to path as a profile that kr52ctl applies with the same bytes as
    // "Use Settings", with the serial settings when a serial port is chosen. Returns whether it
    // was written; any failure is shown, and an existing file is then left as it was.
    bool saveProfile(const QString &path);

    // Rounds to a tenth, clamps to -29.9 .. 29.9, shows the value with "mm" and moves the line.
    void AdjustCutPosition(float orig);

    // The adjuster's mouse handlers; heights are in the picture's own scale.
    void Picture1_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, float x, float y);
    void Picture1_MouseMove(Qt::MouseButtons button, Qt::KeyboardModifiers shift, float x, float y);
    void Picture1_MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, float x, float y);
    // The picture's keys with the focus on it: a step in tenths of a millimetre, or back to 0.
    void Picture1_StepKey(int tenths);
    void Picture1_HomeKey();

protected:
    void closeEvent(QCloseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void buildMainPage(QWidget *page);
    // Builds the settings pages' controls once; later calls do nothing.
    void buildSettingsPages();
    void buildAdjuster(QWidget *page);
    // Adds a page and returns the canvas its controls go on, in twips from the tab control's
    // top-left corner, tab row included.
    QWidget *addPage(const QString &caption);

    // The profile menu in the free corner of the tab row, and its actions.
    void buildProfileMenu();

    void Form_Load();
    void Form_Unload();

    // The link cmode names, or nothing (after saying so) when no port has been configured.
    std::unique_ptr<kr52::PrinterLink> printerLink();
    // Sends the plan over the configured link and returns when it has ended; the window stays
    // alive meanwhile (see ResponsiveSend). Any failure leaves the link closed and shows one
    // message with the reason, followed by what reached the printer.
    void runPrinterAction(const kr52::SendPlan &plan);

    void actOpenProfile_Triggered();
    void actSaveProfile_Triggered();
    void Command4_Click();
    void comUse_Click();
    void comConfPort_Click();
    void comPresets_Click();
    void comHelp_Click(int index);
    void comFAQ_Click();
    void comManual_Click();
    void showHelp(const std::function<bool(frmHelp &)> &load);
    void txtCutOffset_Validate();
    void focusChanged(QWidget *old, QWidget *now);

    // The application's focus signal outlives this window: cut before the window is torn down.
    QMetaObject::Connection m_focusConnection;
    QString m_programDir;
    qint16 m_cmode = 0;
    QString m_lptport;
    bool dragging = false;
    kr52::ResponsiveSend *m_send = nullptr; // the action running, if any
    bool m_closeAfterSend = false;          // the window was closed while it ran

    kr52::MSComm *MSComm1;
    kr52::ParallelPort m_parallel;
    QTabWidget *SSTab1;
    std::vector<QWidget *> m_settingsPages; // General, Characters, Tickets, Alignment
    bool m_settingsBuilt = false;
    bool m_buildAfterFirstFrame = false;
    std::vector<QComboBox *> m_settingsLists;       // in catalogue order
    [[nodiscard]] std::vector<int> chosenIndexes(); // each list's index, in catalogue order
    QLabel *labVer = nullptr;
    QLineEdit *txtCutOffset = nullptr;
    kr52::CutPicture *Picture1 = nullptr;

    QPointer<frmPort> m_port;
    QPointer<frmPresets> m_presets;
    QPointer<frmHelp> m_help;
};
