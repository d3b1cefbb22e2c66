#include "controllers/hid/hidmailbox.h"

#include <sys/eventfd.h>
#include <unistd.h>

HidMailbox::HidMailbox() : fd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

HidMailbox::~HidMailbox()
{
    if (fd_ >= 0) ::close(fd_);
}

void HidMailbox::post(Item item)
{
    {
        std::lock_guard<std::mutex> lock(m_);
        items_.push_back(std::move(item));
    }
    if (fd_ >= 0) {
        const uint64_t one = 1;
        // a full counter still leaves the descriptor readable
        [[maybe_unused]] const ssize_t n = ::write(fd_, &one, sizeof one);
    }
}

std::deque<HidMailbox::Item> HidMailbox::take()
{
    if (fd_ >= 0) {
        uint64_t count = 0;
        [[maybe_unused]] const ssize_t n = ::read(fd_, &count, sizeof count);
    }
    std::deque<Item> out;
    std::lock_guard<std::mutex> lock(m_);
    out.swap(items_);
    return out;
}
