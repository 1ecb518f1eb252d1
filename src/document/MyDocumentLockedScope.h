#pragma once

#include "document/MyDocument.h"

#include <thread>

// Holds the document lock for the hooks and delivers the window updates they
// asked for once it is released.
class MyDocument::LockedScope {
public:
    explicit LockedScope(MyDocument& document) : m_document(document) {
        m_document.m_DocumentLock.lock();
        m_document.m_documentLockHolder = std::this_thread::get_id();
    }
    ~LockedScope() {
        m_document.m_documentLockHolder = std::thread::id();
        m_document.m_DocumentLock.unlock();
        m_document.requestWindowUpdate(0, false);
    }

private:
    MyDocument& m_document;
};
