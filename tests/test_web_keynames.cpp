// The browser's --map names (platform/web/keynames.h, written once from SDL) against the native
// key map: every name the browser takes is one SDL takes, for the same key and pad button.
#include <gtest/gtest.h>

#include <string>

#include "platform/host/keymap.h"
#include "platform/host/keys.h"
#include "platform/web/keynames.h"

TEST(WebKeyNames, EveryNameMapsTheSameKeyAsOnLinux) {
  int keys = 0;
  for (const WebKeyName& k : kWebKeyNames) {
    PlatOptions o;
    const std::string spec = std::string(k.name) + "=LCtrl";
    ASSERT_EQ(plat_keymap_add(&o, spec.c_str()), nullptr) << k.name;
    EXPECT_EQ(o.key_map[k.dik], DIK_LCONTROL) << k.name;
    ++keys;
  }
  EXPECT_GT(keys, 100);  // the whole keyboard, not a few keys
  for (int b = 0; b < (int)(sizeof kWebPadButtonNames / sizeof *kWebPadButtonNames); ++b) {
    PlatOptions o;
    const std::string spec = std::string("pad:") + kWebPadButtonNames[b] + "=Q";
    ASSERT_EQ(plat_keymap_add(&o, spec.c_str()), nullptr) << spec;
    EXPECT_EQ(o.pad_map[b], DIK_Q) << spec;
  }
}
