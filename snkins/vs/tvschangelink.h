// A client's subscription to a shared component (the composer): the component calls Change on
// every link it holds when its contents change. Destroying a link removes it from its sender.
#pragma once

#include <functional>

class TVsSharedComponent;

class TVsChangeLink {
public:
    TVsChangeLink() = default;
    ~TVsChangeLink();
    TVsChangeLink(const TVsChangeLink&) = delete;
    TVsChangeLink& operator=(const TVsChangeLink&) = delete;

    // The component the link is inserted in, or none.
    TVsSharedComponent* Sender() const { return FSender; }
    std::function<void(TVsSharedComponent* Sender)> OnChange;

    void Change();

private:
    friend class TVsSharedComponent;
    TVsSharedComponent* FSender = nullptr;
};
