#ifndef LIBRARYFEEDBACK_H
#define LIBRARYFEEDBACK_H

#include <cstddef>
#include <cstdint>

// The EXIF library is not instrumented. In the fuzz build what it says while it
// parses, the errors it ends with and the directories it yields are counted as
// extra features, so the fuzzer learns which of its paths an input reached. In
// the normal build these do nothing and the library is mute.
namespace LibraryFeedback {

void listen();
void countText(const char *text, std::uint32_t seed);
// Which directories (maker notes among them) a readable input yields.
void countParsedDirectories(const std::uint8_t *data, std::size_t size);

// The capture-date lookup on the bytes, with what the library says counted;
// aborts where the lookup breaks its promises (a padded maker, an invalid date
// reported as one).
void checkLookup(const std::uint8_t *data, std::size_t size);

} // namespace LibraryFeedback

#endif // LIBRARYFEEDBACK_H
