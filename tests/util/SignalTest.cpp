#include "util/Signal.h"

#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace vigilo {
namespace {

/// Handlers that write down their name and the argument of each notice they hear.
struct Listeners {
    Signal<int> signal;
    std::vector<std::string> heard;
    std::map<std::string, Connection> connections;

    void listen(const std::string& name, const std::function<void()>& alsoDo = {}) {
        connections[name] = signal.connect([this, name, alsoDo](int number) {
            heard.push_back(name + std::to_string(number));
            if (alsoDo) {
                alsoDo();
            }
        });
    }
    void listenABC(const std::function<void()>& bAlsoDoes = {}) {
        listen("a");
        listen("b", bAlsoDoes);
        listen("c");
    }
};

TEST(Signal, ConnectionsDecideWhoHearsEachNotice) {
    struct Case {
        const char* what;
        std::function<void(Listeners&)> arrange;
        std::vector<std::string> heard;
    };
    const std::vector<Case> cases{
        {"every handler, in the order connected",
         [](Listeners& l) { l.listenABC(); },
         {"a1", "b1", "c1", "a2", "b2", "c2"}},
        {"a destroyed connection",
         [](Listeners& l) {
             l.listenABC();
             l.connections.erase("b");
         },
         {"a1", "c1", "a2", "c2"}},
        {"a disconnected connection",
         [](Listeners& l) {
             l.listenABC();
             l.connections.at("b").disconnect();
         },
         {"a1", "c1", "a2", "c2"}},
        {"a connection moved elsewhere stays connected",
         [](Listeners& l) {
             l.listenABC();
             auto moved = std::move(l.connections.at("b"));
             l.connections.erase("b");
             l.connections.emplace("moved", std::move(moved));
         },
         {"a1", "b1", "c1", "a2", "b2", "c2"}},
        {"a connection replaced by another",
         [](Listeners& l) {
             l.listenABC();
             l.connections.at("b") = Connection();
         },
         {"a1", "c1", "a2", "c2"}},
        {"a handler disconnecting itself while notified",
         [](Listeners& l) { l.listenABC([&l] { l.connections.at("b").disconnect(); }); },
         {"a1", "b1", "c1", "a2", "c2"}},
        {"a handler destroying its own connection while notified",
         [](Listeners& l) { l.listenABC([&l] { l.connections.erase("b"); }); },
         {"a1", "b1", "c1", "a2", "c2"}},
        {"a handler disconnecting a later one",
         [](Listeners& l) { l.listenABC([&l] { l.connections.at("c").disconnect(); }); },
         {"a1", "b1", "a2", "b2"}},
        {"a handler disconnecting an earlier one",
         [](Listeners& l) { l.listenABC([&l] { l.connections.at("a").disconnect(); }); },
         {"a1", "b1", "c1", "b2", "c2"}},
        {"a handler connecting another: heard from the next notice on",
         [](Listeners& l) {
             l.listenABC([&l] {
                 if (!l.connections.contains("d")) {
                     l.listen("d");
                 }
             });
         },
         {"a1", "b1", "c1", "a2", "b2", "c2", "d2"}},
    };
    for (const auto& c : cases) {
        Listeners listeners;
        c.arrange(listeners);
        listeners.signal.notify(1);
        listeners.signal.notify(2);
        EXPECT_EQ(listeners.heard, c.heard) << c.what;
    }
}

TEST(Signal, MayEndBeforeItsConnectionsAndWhileItNotifies) {
    auto signal = std::make_unique<Signal<>>();
    const auto captured = std::make_shared<int>();
    std::vector<std::string> heard;
    auto first = signal->connect([&signal, &heard, captured] {
        heard.emplace_back("first");
        signal.reset();
    });
    auto second = signal->connect([&heard] { heard.emplace_back("second"); });
    EXPECT_EQ(captured.use_count(), 2);

    signal->notify();
    EXPECT_EQ(signal, nullptr);
    EXPECT_EQ(heard, std::vector<std::string>{"first"}) << "a destroyed signal calls no more";
    EXPECT_EQ(captured.use_count(), 1) << "the handlers go with the signal";
    first.disconnect(); // and their connections end without it
}

} // namespace
} // namespace vigilo
