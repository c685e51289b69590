// An event with any number of listeners, raised in the order they connected.
#pragma once

#include <functional>
#include <utility>
#include <vector>

namespace rt {

template <typename... Args>
class Event {
public:
    using Handler = std::function<void(Args...)>;

    int Connect(Handler h)
    {
        handlers_.push_back({++lastId_, std::move(h)});
        return lastId_;
    }
    void Disconnect(int id)
    {
        for (auto it = handlers_.begin(); it != handlers_.end(); ++it) {
            if (it->first == id) {
                handlers_.erase(it);
                return;
            }
        }
    }
    // A copy is raised, so a listener may disconnect itself while it runs.
    void Raise(Args... args) const
    {
        auto copy = handlers_;
        for (auto& h : copy)
            h.second(args...);
    }
    bool Empty() const { return handlers_.empty(); }

private:
    std::vector<std::pair<int, Handler>> handlers_;
    int lastId_ = 0;
};

} // namespace rt
