// Runs f on a thread whose stack is far smaller than one dual number per point would
// need, as the worker threads of a Windows build have small stacks.
#pragma once

#include <gtest/gtest.h>
#include <pthread.h>

#include <functional>

namespace test_support {

inline void run_on_small_stack(std::function<void()> f)
{
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, 256 * 1024);
    pthread_t thread;
    auto body = [](void* arg) -> void* {
        (*static_cast<std::function<void()>*>(arg))();
        return nullptr;
    };
    ASSERT_EQ(pthread_create(&thread, &attributes, body, &f), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
}

}  // namespace test_support
