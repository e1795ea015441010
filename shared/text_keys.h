// The keys of the programs' text tables, in the order the loaders read them.
//
// Lumera reads one text per "tc_" key from text.xml; Q350Config reads one
// text per "str_" key from its language file and picks the status-line hint
// by number. Tools and tests iterate these lists, so a key missing here is a
// text nobody loads.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace shared {

// Lumera's keys in load order (the numbered runs are individual keys).
inline constexpr std::array<std::string_view, 177> kLumeraTextKeys = {
    "tc_title", "tc_mutex", "tc_appdata", "tc_config", "tc_exit", "tc_version", "tc_tip1",
    "tc_tip2", "tc_tip3", "tc_tip4", "tc_tip5", "tc_restore", "tc_ok", "tc_cancel", "tc_apply",
    "tc_protitle", "tc_proname", "tc_str1", "tc_str2", "tc_str3", "tc_page1", "tc_page2",
    "tc_page3", "tc_page4", "tc_page5", "tc_page6", "tc_macro_stop", "tc_macro_start",
    "tc_macro_list", "tc_macro_key_list", "tc_macro_auto", "tc_macro_loop", "tc_macro_loop1",
    "tc_macro_loop2", "tc_macro_loop3", "tc_macro_msg1", "tc_macro_msg2", "tc_macro_msg3",
    "tc_macro_msg4", "tc_macro_msg5", "tc_macro_msg6", "tc_macro_msg7", "tc_macro_msg8",
    "tc_macro_msg9", "tc_macro_msg10", "tc_macro_msg11", "tc_macro_msg12", "tc_macro_msg13",
    "tc_macro_msg14", "tc_macro_msg15", "tc_macro_msg16", "tc_macro_msg17", "tc_macro_msg18",
    "tc_macro_msg19", "tc_macro_msg20", "tc_macro_msg21", "tc_macro_msg22",
    // The macro editor's own messages: a full recording, a folder too deep,
    // a copy into itself, a failed write.
    "tc_macro_full", "tc_macro_deep", "tc_macro_itself", "tc_macro_savefail", "tc_msfun",
    "tc_click", "tc_menu", "tc_middle", "tc_forward", "tc_back", "tc_scrollup", "tc_scrolldown",
    "tc_mac_def", "tc_key_off", "tc_ms_str1", "tc_ms_str2", "tc_ms_str3", "tc_PL", "tc_stop",
    "tc_pre_media", "tc_next_media", "tc_vol_up", "tc_vol_dw", "tc_mute", "tc_kbmedia_stop",
    "tc_kbmedia_search", "tc_kbmedia_mail", "tc_kbmedia_main", "tc_kbmedia_explore",
    "tc_kbmedia_cal", "tc_kbmedia_refresh", "tc_kbmedia_favor", "tc_kbmedia_msel",
    "tc_combokey", "tc_media", "tc_combo_tips", "tc_dpi", "tc_dpiadd", "tc_dpisub",
    "tc_dpiloop", "tc_three", "tc_fire", "tc_rgb", "tc_snipe", "tc_singlekey", "tc_windows",
    "tc_shift", "tc_msg1", "tc_msg2", "tc_msg3", "tc_msg4", "tc_msg5", "tc_msg6", "tc_msg7",
    "tc_msg8", "tc_msg9", "tc_msg10", "tc_msg11", "tc_msg12", "tc_msg13", "tc_msg14",
    "tc_msg15", "tc_msg16", "tc_msg17", "tc_msg18", "tc_msg19", "tc_msg20", "tc_msg21",
    "tc_msg22", "tc_msg23", "tc_msg24", "tc_msg25", "tc_msg26", "tc_msg27", "tc_msg28",
    "tc_msg29", "tc_msg30", "tc_msg31", "tc_msg32", "tc_msg33", "tc_msg34", "tc_msg35",
    "tc_msg36", "tc_led_mode1", "tc_led_mode2", "tc_led_mode3", "tc_led_mode4", "tc_led_mode5",
    "tc_led_mode6", "tc_led_mode7", "tc_led_mode8", "tc_led_mode9", "tc_led_mode10",
    "tc_led_mode11", "tc_led_mode12", "tc_led_mode13", "tc_led_mode14", "tc_led_mode15",
    "tc_led_mode16", "tc_led_mode17", "tc_led_mode18", "tc_adv_str1", "tc_adv_str2",
    "tc_adv_str3", "tc_adv_str4", "tc_adv_str5", "tc_adv_str6", "tc_adv_str7", "tc_adv_str8",
    "tc_adv_str9", "tc_adv_str10", "tc_adv_str11", "tc_adv_str12", "tc_adv_str13",
    "tc_adv_str14", "tc_adv_str15", "tc_adv_str16", "tc_adv_str17", "tc_adv_str18",
    "tc_adv_str19"};

// Lumera's texts of our own (not part of the shipped table's key list): the
// key and the English text used when text.xml does not have it.
struct OwnTextKey {
  std::string_view key;
  std::u16string_view english;
};
inline constexpr std::array<OwnTextKey, 3> kLumeraOwnTextKeys = {{
    {"tc_link_program", u"Link to a program..."},
    {"tc_unlink_program", u"Unlink"},
    {"tc_link_program_msg", u"Switch to this profile while this program runs (part of its name, e.g. game.exe):"},
}};

// Q350Config's keys, each once: the status-line hint keys in hint order, then
// the keys the dialogs and key tables use, then the rest the loader reads.
inline constexpr std::array<std::string_view, 176> kQ350TextKeys = {
    "str_profile1", "str_profile2", "str_profile3", "str_profile4", "str_profile5", "str_ok",
    "str_main", "str_led_title", "str_macro_manager", "str_sts", "str_help", "str_rollingrate",
    "str_dpiwant", "str_sheight", "str_30sheight", "str_xyindependent", "str_mode1",
    "str_mode2", "str_mode3", "str_led_preSet", "str_led_diySet", "str_led_off",
    "str_led_brealways", "str_led_norbre", "str_led_apmbre", "str_ledspe", "str_new_macro",
    "str_del_macro", "str_macro_new", "str_macro_del", "str_macro_modify", "str_macro_start",
    "str_macro_delay", "str_macro_loop", "str_macro_msg6", "str_macro_msg7", "str_click",
    "str_middle", "str_menu", "str_resetSts", "str_cups", "str_update", "str_kavroWeb",
    "str_defaultname", "str_led_stack", "str_led_scrollscreen", "str_led_wave",
    "str_macro_SwitchOnOff", "str_macro_Play_Press", "str_macro_key_ok", "str_macro_delay_ok",
    "str_macro_end", "str_led_cycle_on", "str_led_cycle_off", "str_led_adjusting_lighting",
    "str_led_adjusting_speed", "str_led_custom", "str_led_selectall", "str_led_regionseparate",
    "str_file_import", "str_file_export", "str_msg2", "str_reset", "str_combo_title",
    "str_mac_def", "str_base_fun", "str_setting_panel", "str_current_fun", "str_disable",
    "str_Player", "str_PL", "str_stop", "str_pre_media", "str_next_media", "str_vol_up",
    "str_vol_dw", "str_mute", "str_close", "str_lock", "str_run", "str_show",
    "str_win8_classic", "str_search_program", "str_win8_find", "str_win8_winp", "str_win8_winm",
    "str_program_title", "str_company", "str_config", "str_about", "str_exit", "str_mouse_page",
    "str_performance_page", "str_led_page", "str_macro_page", "str_msg1", "str_msg3",
    "str_msg4", "str_msg5", "str_msg6", "str_msg7", "str_resetinfo", "str_cancel", "str_apply",
    "str_combo_tips", "str_macro_msg1", "str_macro_msg2", "str_macro_msg4", "str_macro_msg8",
    "str_macro_list", "str_macro_editor", "str_macro_event", "str_dbclick", "str_combokey",
    "str_advance", "str_media", "str_pre", "str_back", "str_scrollup", "str_scrolldw",
    "str_zoomin", "str_zoomout", "str_cut", "str_copy", "str_past", "str_all", "str_find",
    "str_new", "str_print", "str_save", "str_undo", "str_dpititle", "str_rate",
    "str_probar_title", "str_probar_msg1", "str_profile_title", "str_autopath",
    "str_autoswitch", "str_proname", "str_led_normal", "str_advanced_open",
    "str_advanced_sound", "str_advanced_exe", "str_advanced_file", "str_advanced_dir",
    "str_advanced_web", "str_advanced_address", "str_onekeystart", "str_screenshot",
    "str_screenshot_screen", "str_screenshot_win", "str_screenshot_area", "str_mousefun",
    "str_win8", "str_win8_start", "str_win8_switch", "str_update_success", "str_update_fail",
    "str_update_msg1", "str_update_msg2", "str_update_msg3", "str_update_msg4",
    "str_updateerror", "str_updateerror1", "str_updateerror2", "str_updating", "str_fwrecoverS",
    "str_fwrecoverF", "str_level1", "str_level2", "str_level3", "str_level4",
    "str_fwcurrent_version", "str_tips", "str_soft_version", "str_more"};

// Status-line hints of Q350Config: hint number -> key. Numbers not listed
// (and 99) leave the status line empty.
struct HintKey {
  int number;
  std::string_view key;
};

inline constexpr std::array<HintKey, 62> kQ350HintKeys = {{
    {0, "str_profile1"}, {1, "str_profile2"}, {2, "str_profile3"}, {3, "str_profile4"},
    {4, "str_profile5"}, {5, "str_ok"}, {6, "str_main"}, {7, "str_led_title"},
    {8, "str_macro_manager"}, {9, "str_sts"}, {10, "str_help"}, {11, "str_rollingrate"},
    {12, "str_dpiwant"}, {13, "str_sheight"}, {14, "str_30sheight"}, {15, "str_xyindependent"},
    {23, "str_mode1"}, {24, "str_mode2"}, {25, "str_mode3"}, {26, "str_led_preSet"},
    {27, "str_led_diySet"}, {28, "str_led_off"}, {29, "str_led_brealways"},
    {30, "str_led_norbre"}, {31, "str_led_apmbre"}, {32, "str_ledspe"}, {33, "str_new_macro"},
    {34, "str_del_macro"}, {35, "str_macro_new"}, {36, "str_macro_del"},
    {37, "str_macro_modify"}, {38, "str_macro_start"}, {39, "str_macro_delay"},
    {40, "str_macro_loop"}, {41, "str_macro_msg6"}, {42, "str_macro_msg7"}, {43, "str_click"},
    {44, "str_middle"}, {45, "str_menu"}, {46, "str_resetSts"}, {47, "str_cups"},
    {48, "str_update"}, {49, "str_kavroWeb"}, {50, "str_defaultname"}, {51, "str_led_stack"},
    {52, "str_led_scrollscreen"}, {53, "str_led_wave"}, {60, "str_macro_loop"},
    {61, "str_macro_SwitchOnOff"}, {62, "str_macro_Play_Press"}, {63, "str_macro_key_ok"},
    {64, "str_macro_delay_ok"}, {65, "str_macro_end"}, {70, "str_led_cycle_on"},
    {71, "str_led_cycle_off"}, {72, "str_led_adjusting_lighting"},
    {73, "str_led_adjusting_speed"}, {74, "str_led_custom"}, {75, "str_led_selectall"},
    {76, "str_led_regionseparate"}, {77, "str_file_import"}, {78, "str_file_export"}}};

// The key for a hint number, or an empty view when the number shows nothing.
constexpr std::string_view q350HintKey(int number) {
  for (const HintKey& h : kQ350HintKeys)
    if (h.number == number) return h.key;
  return {};
}

}  // namespace shared
