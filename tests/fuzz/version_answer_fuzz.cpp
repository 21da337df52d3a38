// The version page's answer: what counts as a version and what announces one.
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "net/address_encoding.h"
#include "update/version_answer.h"

namespace {

void CheckAnswer(std::string_view answer) {
    using namespace trevalon::update;
    const bool isVersion = IsVersionAnswer(answer);
    const bool announces = AnnouncesNewVersion(answer);
    const long characters = fuzz::Utf8CodePoints(answer);
    const bool hasDot = answer.find('.') != std::string_view::npos;
    if (characters >= 0) {
        // Exactly five characters with a "." in them, taken as they arrived.
        FUZZ_CHECK(isVersion == (characters == 5 && hasDot));
    }
    if (isVersion) FUZZ_CHECK(hasDot);
    // Our own version never announces a new one; any other version answer does.
    FUZZ_CHECK(announces == (isVersion && answer != LocalVersionText()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view raw(reinterpret_cast<const char*>(data), size);
    FUZZ_CHECK(trevalon::update::LocalVersionText() == "1.5.5");
    CheckAnswer(raw);
    // The check sees the body as the transfer control hands it on.
    const std::string body = trevalon::net::BodyAsUtf8(raw);
    FUZZ_CHECK(fuzz::Utf8CodePoints(body) >= 0);
    CheckAnswer(body);
    return 0;
}
