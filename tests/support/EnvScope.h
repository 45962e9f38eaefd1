// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Sets (or, with a null value, removes) an environment variable while it lives,
// and puts back what was there.
#ifndef GRIDWISE_TESTS_SUPPORT_ENVSCOPE_H
#define GRIDWISE_TESTS_SUPPORT_ENVSCOPE_H

#include <cstdlib>
#include <string>

namespace gwtest {

class EnvScope {
public:
    EnvScope(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            had_ = true;
            old_ = old;
        }
        if (value != nullptr)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    EnvScope(const char* name, const std::string& value) : EnvScope(name, value.c_str()) {}
    ~EnvScope() {
        if (had_)
            setenv(name_, old_.c_str(), 1);
        else
            unsetenv(name_);
    }
    EnvScope(const EnvScope&) = delete;
    EnvScope& operator=(const EnvScope&) = delete;

private:
    const char* name_;
    bool had_ = false;
    std::string old_;
};

} // namespace gwtest

#endif
