#include "operations/ui/desktop/desktop_launcher.h"

#include <gtest/gtest.h>

#include <QTest>
#include <optional>

namespace krelix {
namespace {

// With no session bus, or a bus without the service, the call reports failure (at once or
// when the bus answers) so that the fallback runs.
TEST(DesktopLauncher, CallToAMissingServiceReportsFailure) {
    DesktopLauncher launcher;
    std::optional<bool> answer;
    launcher.CallDBus({"org.krelix.NoSuchService",
                       "/org/krelix/None",
                       "org.krelix.None",
                       "Nothing",
                       {QStringList{"file:///tmp/x"}, QString()}},
                      [&answer](bool ok) { answer = ok; });
    ASSERT_TRUE(QTest::qWaitFor([&answer] { return answer.has_value(); }, 10000));
    EXPECT_FALSE(*answer);
}

}  // namespace
}  // namespace krelix
