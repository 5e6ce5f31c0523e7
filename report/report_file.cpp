#include "report/report_file.h"

#include <cstring>

#include "platform/services.h"

ClReportFile::ClReportFile() = default;

ClReportFile::~ClReportFile() { Close(); }

bool ClReportFile::Open(const char* path)
{
    Close();
    m_failed = false;
    platform::IFileSystem* fs = platform::GetServices().fs;
    if (!path || !*path || !fs) {
        m_failed = true;
        return false;
    }
    m_file = fs->CreateExclusive(path);
    if (!m_file) {
        m_failed = true;
        return false;
    }
    // One buffer for the whole report, so no line allocates.
    const std::size_t capacity = m_file->WriteBufferSize();
    if (capacity != m_capacity) {
        m_buffer.reset(capacity ? new char[capacity] : nullptr);
        m_capacity = capacity;
    }
    m_used = 0;
    return true;
}

bool ClReportFile::Write(const void* data, std::size_t size)
{
    // After a failure nothing more reaches the file: it keeps a prefix of the report.
    if (!m_file || m_failed) {
        m_failed = true;
        return false;
    }
    if (m_capacity == 0 || size >= m_capacity) {
        // Unbuffered, or a piece as large as the buffer: straight to the file.
        if (!WriteGathered()) return false;
        if (!m_file->Write(data, size)) {
            m_failed = true;
            return false;
        }
        return true;
    }
    if (size > m_capacity - m_used && !WriteGathered()) return false;
    std::memcpy(m_buffer.get() + m_used, data, size);
    m_used += size;
    return true;
}

bool ClReportFile::WriteGathered()
{
    if (m_used == 0) return true;
    const std::size_t used = m_used;
    m_used = 0;
    if (!m_file->Write(m_buffer.get(), used)) {
        m_failed = true;
        return false;
    }
    return true;
}

bool ClReportFile::Close()
{
    if (m_file) {
        // After a failure the gathered bytes are dropped. Flush and close run even when
        // a write failed, so the handle is never leaked.
        bool written = m_failed ? true : WriteGathered();
        m_used = 0;
        bool flushed = m_file->Flush();
        bool closed = m_file->Close();
        m_file.reset();
        if (!written || !flushed || !closed) m_failed = true;
    }
    return !m_failed;
}
