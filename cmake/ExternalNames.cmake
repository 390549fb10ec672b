# Names that other processes rely on: the probe and the end-to-end tests find the overlay's windows,
# controls, window properties and registry values by them. Written once here; the build makes them a
# header for the program and the probe, and a module for the Python tests.
set(BRISQUEL_EXTERNAL_NAMES
    PRODUCT_NAME "${PROJECT_NAME}"
    PRODUCT_VERSION "${PROJECT_VERSION}"
    PRODUCT_TITLE "${PROJECT_NAME} v${PROJECT_VERSION}"
    # Window classes.
    CLASS_OVERLAY ZentrikMainDialog
    CLASS_LIST ZentrikProgressList
    CLASS_COMBO OrlixComboBox
    CLASS_COMBO_POPUP OrlixComboBoxPopup
    CLASS_LABEL OrlixCustomLabel
    CLASS_BUTTON OrlixButton
    CLASS_SLIDER OrlixCustomSlider
    CLASS_MENU_TIER OrlixDarkPopupMenuTier
    CLASS_CONFIRM OrlixConfirmDialog
    CLASS_NOTICE OrlixNotification
    CLASS_HELP OrlixHelpDialog
    # Window properties of the overlay and its controls.
    PROP_TRAY_STATE BrisquelTrayIcon
    PROP_TRAY_TIP BrisquelTrayTip
    PROP_PAINTS BrisquelPaints
    PROP_SETTINGS_FILE BrisquelSettingsFile
    # The test hooks: a key under HKEY_CURRENT_USER and its DWORD and string values.
    HOOK_KEY "Software\\\\${PROJECT_NAME}"
    HOOK_COUNT_PAINTS CountPaints
    HOOK_COUNT_ALERTS CountAlerts
    HOOK_ALERTS_RAISED AlertsRaised
    HOOK_LAST_ALERT LastAlert
    HOOK_SOUNDS_PLAYED SoundsPlayed
    HOOK_LAST_SOUND LastSound
    # Child controls of the overlay. Labels send nothing, so the title may share the text-scale slider's id.
    ID_COMBO 1001
    ID_LIST 1002
    ID_OPACITY_SLIDER 1003
    ID_OPACITY_VALUE 1004
    ID_STATUS 1005
    ID_SCALE_SLIDER 1006
    ID_BOSS_TITLE 1006
    ID_SCALE_VALUE 1007
    ID_OPACITY_CAPTION 1008
    ID_SCALE_CAPTION 1009
    ID_CLICK_THROUGH_BUTTON 1010
    ID_VISIBILITY_BUTTON 1011
    ID_COUNTDOWN 1012
    ID_CACHE_AGE 1013
    ID_BOSS_MENU_BUTTON 1014
)

# Writes the names as ExternalNames.h (wide strings and unsigned numbers in namespace ExternalNames) and as
# the Python module brisquel_names.py, both into `directory`.
function(brisquel_write_external_names directory)
    set(header "#pragma once\n\n// Made by the build from cmake/ExternalNames.cmake.\nnamespace ExternalNames {\n")
    set(module "\"\"\"Made by the build from cmake/ExternalNames.cmake.\"\"\"\n")
    set(names ${BRISQUEL_EXTERNAL_NAMES})
    list(LENGTH names count)
    math(EXPR last "${count} - 1")
    foreach(i RANGE 0 ${last} 2)
        math(EXPR j "${i} + 1")
        list(GET names ${i} name)
        list(GET names ${j} value)
        if(value MATCHES "^[0-9]+$")
            string(APPEND header "constexpr unsigned ${name} = ${value};\n")
            string(APPEND module "${name} = ${value}\n")
        else()
            string(APPEND header "constexpr wchar_t ${name}[] = L\"${value}\";\n")
            string(APPEND module "${name} = \"${value}\"\n")
        endif()
    endforeach()
    string(APPEND header "}  // namespace ExternalNames\n")
    file(CONFIGURE OUTPUT ${directory}/ExternalNames.h CONTENT "${header}" @ONLY)
    file(CONFIGURE OUTPUT ${directory}/brisquel_names.py CONTENT "${module}" @ONLY)
endfunction()
