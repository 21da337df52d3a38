// Windows side of RunWithoutNetwork: a Windows process under Wine cannot
// take a network of its own, so the piece is skipped (kNoIsolation).
#pragma once

namespace trevalon::testsupport {

inline constexpr int kNoIsolation = 77;

template <class Body>
int RunWithoutNetwork(Body) {
    return kNoIsolation;
}

}  // namespace trevalon::testsupport
