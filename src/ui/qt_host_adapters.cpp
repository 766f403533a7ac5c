#include "ui/qt_host_adapters.h"
#include "ui/ui_common.h"

#include <QMessageBox>
#include <QThread>
#include <QTimer>

CQtNotifyWindow::CQtNotifyWindow(QObject* parent)
    : QObject(parent)
{
}

void CQtNotifyWindow::Deliver(const NotifyMessage& message)
{
    ++m_handled;
    if (m_handler)
        m_handler(message);
}

void CQtNotifyWindow::Post(NotifyMessage message)
{
    // Runs on the GUI thread from its event loop (also from a message box's nested loop).
    QMetaObject::invokeMethod(
        this, [this, message = std::move(message)] { Deliver(message); }, Qt::QueuedConnection);
}

void CQtNotifyWindow::Send(NotifyMessage message)
{
    if (QThread::currentThread() == thread()) {
        Deliver(message);
        return;
    }
    // The worker thread blocks here until the GUI thread has run the handler.
    QMetaObject::invokeMethod(
        this, [this, &message] { Deliver(message); }, Qt::BlockingQueuedConnection);
}

CQtTimerService::CQtTimerService(QObject* parent)
    : QObject(parent)
{
}

void CQtTimerService::StartTimer(int id, int periodMs)
{
    QTimer*& timer = m_timers[id];
    if (timer == nullptr) {
        timer = new QTimer(this);
        // The timer fires on the GUI thread, where the controller lives.
        connect(timer, &QTimer::timeout, this, [this, id] {
            if (m_handler)
                m_handler(id);
        });
    }
    timer->start(periodMs);
}

void CQtTimerService::KillTimer(int id)
{
    const auto found = m_timers.find(id);
    if (found != m_timers.end())
        found->second->stop();
}

bool CQtTimerService::IsActive(int id) const
{
    const auto found = m_timers.find(id);
    return found != m_timers.end() && found->second->isActive();
}

void CQtUserPrompt::ShowMessage(const std::string& text)
{
    QMessageBox::information(m_parent, UiText(kAppTitle), UiText(text));
}

bool CQtUserPrompt::AskYesNo(const std::string& text)
{
    return QMessageBox::question(m_parent, UiText(kAppTitle), UiText(text), QMessageBox::Yes | QMessageBox::No)
        == QMessageBox::Yes;
}

bool CQtUserPrompt::AskOkCancel(const std::string& text)
{
    return QMessageBox::question(
               m_parent, UiText(kAppTitle), UiText(text), QMessageBox::Ok | QMessageBox::Cancel)
        == QMessageBox::Ok;
}
