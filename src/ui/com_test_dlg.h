#pragma once

#include <QDialog>
#include <memory>

#include "uilogic/comm_test_logic.h"

class CIpAddressEdit;
class CMessDlg;
class CPortSearch;
class IPortSource;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;

// "Communication Settings": COM port and baud rate or LAN address and port, the port list with its
// search, and a test line to the instrument with its reply. The dialog writes its choices into the
// link's configuration and leaves the link closed whichever way it ends.
class CComTestDlg final : public QDialog {
    Q_OBJECT

public:
    CComTestDlg(CInstrumentLink& link, IPortSource& ports, IUserPrompt& prompt, QWidget* parent = nullptr);
    ~CComTestDlg() override;

    void accept() override;
    void reject() override;
    void done(int result) override;

    // A control by its number (tests).
    QWidget* Control(int id) const { return findChild<QWidget*>(ControlObjectName(id)); }
    [[nodiscard]] bool Searching() const { return m_search != nullptr; }
    [[nodiscard]] bool Polling() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    static QString ControlObjectName(int id);
    QGroupBox* BuildInterfaceGroup();
    QGroupBox* BuildSettingsGroup();
    QGroupBox* BuildTestGroup();
    void ShowInterfaceControls();
    void FillPortList();
    [[nodiscard]] CommControls ReadControls() const;
    void CloseIfOpen();
    void SyncPollTimer();

    void OnInterfaceClicked();
    void OnPortChanged();
    void OnRefresh();
    void OnSearch();
    void OnSearchStep();
    void FinishSearch();
    [[nodiscard]] QString SearchProgressText() const;
    void OnSend();
    void OnPoll();

    CInstrumentLink& m_link;
    IPortSource& m_ports;
    IUserPrompt& m_prompt;
    CComTestLogic m_logic;
    QRadioButton* m_com = nullptr;
    QRadioButton* m_lan = nullptr;
    QComboBox* m_portList = nullptr;
    QComboBox* m_baudList = nullptr;
    CIpAddressEdit* m_address = nullptr;
    QLineEdit* m_tcpPort = nullptr;
    QLineEdit* m_sendText = nullptr;
    QLineEdit* m_receiveText = nullptr;
    QTimer* m_pollTimer = nullptr;
    std::unique_ptr<CPortSearch> m_search;
    CMessDlg* m_progress = nullptr;
    bool m_stopSearch = false;
};
