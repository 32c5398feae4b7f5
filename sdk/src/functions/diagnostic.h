// The diagnostic of a failed call: one line naming the step that failed and the failure's text. Both
// bindings write it through write_diagnostic, so a C caller receives exactly the line (without its line
// feed) that the Python module writes to standard error.
#pragma once

#include <cstddef>
#include <exception>
#include <initializer_list>
#include <string_view>
#include <utility>

#include "crypto/base/fatal.h"
#include "crypto/base/result.h"

namespace tarvo::sdk {

// An error result of one step of a function; `step` names the step in the diagnostic.
struct StepFailed {
  const char* step;
  Error error;
};

// The value of `result`, or StepFailed carrying `step` and the error.
template <typename T>
T checked(Result<T> result, const char* step) {
  if (!result.ok()) throw StepFailed{step, result.error()};
  return std::move(result).value();
}

// Byte length of a line break starting at text[i], or 0: every boundary Python's str.splitlines()
// honours, so a diagnostic that has none of them is one line to a Python reader.
inline std::size_t line_break_length(std::string_view text, std::size_t i) {
  switch (static_cast<unsigned char>(text[i])) {
    case '\n':
    case '\r':
    case '\v':
    case '\f':
    case 0x1c:
    case 0x1d:
    case 0x1e:
      return 1;
    case 0xc2:  // U+0085
      return text.substr(i, 2) == "\xc2\x85" ? 2 : 0;
    case 0xe2:  // U+2028, U+2029
      return text.substr(i, 3) == "\xe2\x80\xa8" || text.substr(i, 3) == "\xe2\x80\xa9" ? 3 : 0;
    default:
      return 0;
  }
}

// Hands `put` the pieces byte by byte, each line break replaced by a blank.
template <typename Put>
void put_one_line(std::initializer_list<std::string_view> pieces, Put& put) {
  for (std::string_view piece : pieces) {
    for (std::size_t i = 0; i < piece.size();) {
      const std::size_t line_break = line_break_length(piece, i);
      put(line_break != 0 ? ' ' : piece[i]);
      i += line_break != 0 ? line_break : 1;
    }
  }
}

// Called inside a catch handler: hands `put` the diagnostic of the exception being handled, byte by byte
// and without a line feed: "tarvo_python_sdk: ", then the failed step's text and, each after ": ", the
// descriptions of the error's chain (StepFailed), or the text of any other failure (a fatal internal
// error, for one). Allocates nothing.
template <typename Put>
void write_diagnostic(Put&& put) {
  constexpr std::string_view kPrefix = "tarvo_python_sdk: ";
  try {
    throw;
  } catch (const StepFailed& failure) {
    put_one_line({kPrefix, failure.step}, put);
    // Error::message()'s text, written description by description so that nothing is allocated.
    for (const Error* error = &failure.error; error != nullptr; error = error->cause()) {
      put_one_line({": ", error->description()}, put);
    }
  } catch (const FatalError& failure) {
    put_one_line({kPrefix, failure.text()}, put);
  } catch (const std::exception& failure) {
    put_one_line({kPrefix, failure.what()}, put);
  } catch (...) {
    put_one_line({kPrefix, "unknown internal failure"}, put);
  }
}

}  // namespace tarvo::sdk
