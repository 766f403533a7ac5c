#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <map>

#include "acquisition/notify_window.h"
#include "host/host_interfaces.h"
#include "host/startup_settings.h"
#include "settings/user_prompt.h"

class QTimer;
class QWidget;

// The worker's window on the GUI thread. The worker thread calls Post and Send; the handler
// always runs on the GUI thread (the thread this object lives in).
class CQtNotifyWindow final : public QObject, public INotifyWindow {
    Q_OBJECT

public:
    using Handler = std::function<void(const NotifyMessage&)>;
    explicit CQtNotifyWindow(QObject* parent = nullptr);

    void SetHandler(Handler handler) { m_handler = std::move(handler); }
    // Any thread: queued onto the GUI thread, returns at once.
    void Post(NotifyMessage message) override;
    // Any thread: returns once the handler has run on the GUI thread; on the GUI thread itself the
    // handler runs in place (a blocking queued call there would wait for itself).
    void Send(NotifyMessage message) override;

    // Messages handled so far (GUI thread), for waits in tests.
    int Handled() const { return m_handled; }

private:
    void Deliver(const NotifyMessage& message);

    Handler m_handler;
    int m_handled = 0;
};

// The main window's numbered timers as QTimers on the GUI thread.
class CQtTimerService final : public QObject, public ITimerService {
    Q_OBJECT

public:
    explicit CQtTimerService(QObject* parent = nullptr);
    void SetHandler(std::function<void(int)> handler) { m_handler = std::move(handler); }
    void StartTimer(int id, int periodMs) override;
    void KillTimer(int id) override;
    bool IsActive(int id) const;

private:
    std::map<int, QTimer*> m_timers;
    std::function<void(int)> m_handler;
};

// Message boxes with the application's title.
class CQtUserPrompt final : public IUserPrompt {
public:
    explicit CQtUserPrompt(QWidget* parent = nullptr)
        : m_parent(parent)
    {
    }
    void SetParent(QWidget* parent) { m_parent = parent; }
    void ShowMessage(const std::string& text) override;
    bool AskYesNo(const std::string& text) override;
    bool AskOkCancel(const std::string& text) override;

private:
    QPointer<QWidget> m_parent;
};

inline constexpr const char* kAppTitle = "VX6207App";
