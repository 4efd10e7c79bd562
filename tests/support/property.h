#pragma once
// Property checks that run the same cases on every run: rapidcheck with a
// fixed seed and case count, so a failure found once is found again.
#include <rapidcheck.h>

#include <gtest/gtest.h>

#include <sstream>

/// Checks `property` (a callable taking generated arguments, using RC_ASSERT)
/// on `cases` generated cases; a counterexample fails the current test.
template <typename Property>
void checkProperty(Property&& property, int cases = 400) {
  rc::detail::TestParams params;
  params.seed = 20261207;
  params.maxSuccess = cases;
  auto result = rc::detail::checkTestable(std::forward<Property>(property), rc::detail::TestMetadata{}, params);
  if (result.template is<rc::detail::SuccessResult>()) return;
  std::ostringstream message;
  rc::detail::printResultMessage(result, message);
  ADD_FAILURE() << message.str();
}
