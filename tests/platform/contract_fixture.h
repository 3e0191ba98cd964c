#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/platform.h"
#include "tests/platform/contract_backend.h"

namespace contract {

// A contract suite's fixture: each test runs once for every row of `backends`, on that backend's
// drives, and skips, with the backend's reason, where this machine cannot build them.
class BackendTest : public testing::TestWithParam<BackendRow> {
  protected:
    void SetUp() override {
        backend_ = GetParam().make();
        const std::string reason = backend_->setUp();
        if (!reason.empty()) GTEST_SKIP() << reason;
    }

    platform::Platform& platform() { return backend_->platform(); }
    // The known drive's root, "X:\".
    std::string knownRoot() const { return {backend_->knownDrive().letter, ':', '\\'}; }

    std::unique_ptr<Backend> backend_;
};

}  // namespace contract
