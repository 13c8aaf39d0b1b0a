// CPageQueue: hands composed pages from the thread that reads and lays out the
// volumes to the thread that feeds the collection writer, in the order they
// were composed. It holds a bounded number of pages and hands them over in
// batches, so neither thread wakes the other for every page; a fault on the reading
// side travels behind the pages before it, so it surfaces where it would have
// on one thread.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <mutex>
#include <string>

#include "writer/collectionwriter.h"

struct QueuedPage {
    WriterPage page;
    std::string where;  // "VOLUME, page N": names the page in a writer's fault
};

class CPageQueue {
public:
    // batch: pages gathered before the taker is woken; capacity: pages held at most.
    CPageQueue(size_t batch, size_t capacity) : m_batch(batch), m_capacity(capacity) {}

    // Waits for room; raises CBuildError once the taker has stopped.
    void Push(QueuedPage page);
    // No more pages; error (may be null) is raised by Pop after the last one.
    void Finish(std::exception_ptr error);
    // Moves the pages waiting (a batch, or what is left at the end) into pages;
    // false after the last. Raises the giver's fault in their place.
    bool Take(std::deque<QueuedPage>& pages);
    // The taker stops: a waiting or later Push raises.
    void Stop();

private:
    const size_t m_batch;
    const size_t m_capacity;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<QueuedPage> m_pages;
    std::exception_ptr m_error;
    bool m_bFinished = false;
    bool m_bStopped = false;
};
