#pragma once

#include <gtest/gtest.h>

#include <string>

namespace velistra::testing {

// Names each case of a parameterized test by its `label` field.
struct ByLabel {
  template <class Case>
  std::string operator()(const ::testing::TestParamInfo<Case>& case_info) const {
    return case_info.param.label;
  }
};

}  // namespace velistra::testing
