#pragma once

// The observer registry every model of the program announces its changes
// through: observers are told in the order they registered, one that started
// an operation itself (the originator) is skipped, and an observer may
// unregister itself or another while it is being told. Notices are synchronous
// and belong to the thread that owns the model (the user-interface thread).

#include <algorithm>
#include <cstdint>
#include <vector>

// Whether a notice comes before a change (views let go of what is about to
// vanish) or after it (views show the new state).
enum class TChangePhase : uint8_t { cpBefore, cpAfter };

template <typename Observer>
class TObserverList {
public:
    void Register(Observer* observer)
    {
        if (observer && std::find(fObservers.begin(), fObservers.end(), observer) == fObservers.end())
            fObservers.push_back(observer);
    }

    void Unregister(Observer* observer)
    {
        fObservers.erase(std::remove(fObservers.begin(), fObservers.end(), observer), fObservers.end());
        if (fOriginator == observer)
            fOriginator = nullptr;
    }

    Observer* Originator() const { return fOriginator; }
    void SetOriginator(Observer* observer) { fOriginator = observer; }

    // Calls tell(observer) for every registered observer but the originator.
    template <typename Tell>
    void Notify(Tell&& tell) const
    {
        // The list is copied, and each observer checked again before it is
        // told, because one may unregister itself or another meanwhile.
        const std::vector<Observer*> observers = fObservers;
        for (Observer* observer : observers) {
            if (observer == fOriginator)
                continue;
            if (std::find(fObservers.begin(), fObservers.end(), observer) == fObservers.end())
                continue;
            tell(*observer);
        }
    }

private:
    std::vector<Observer*> fObservers;
    Observer* fOriginator = nullptr;
};
