#include "build/pagequeue.h"

#include "build/builderror.h"

void CPageQueue::Push(QueuedPage page) {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_bStopped || m_pages.size() < m_capacity; });
    if (m_bStopped) throw CBuildError("stopped");
    m_pages.push_back(std::move(page));
    if (m_pages.size() == m_batch) m_changed.notify_all();
}

void CPageQueue::Finish(std::exception_ptr error) {
    std::lock_guard lock(m_mutex);
    m_bFinished = true;
    m_error = std::move(error);
    m_changed.notify_all();
}

bool CPageQueue::Take(std::deque<QueuedPage>& pages) {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_bFinished || m_pages.size() >= m_batch; });
    if (m_pages.empty()) {
        if (m_error) std::rethrow_exception(m_error);
        return false;
    }
    pages.swap(m_pages);
    m_pages.clear();
    m_changed.notify_all();
    return true;
}

void CPageQueue::Stop() {
    std::lock_guard lock(m_mutex);
    m_bStopped = true;
    m_changed.notify_all();
}
