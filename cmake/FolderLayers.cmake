# The folders of src/ and the folders each one may include from ("#include "<folder>/..."").
# Folders depend only downward: a folder lists only folders above it in this table, so no
# cycle can form. Core folders (built into vantorpad_core, no widgets) come first; ctl is a
# command-line tool on the core library, main.cpp is the composition root and may include all.
set(VANTORPAD_LAYERS
    "platform:"
    "encoding:platform"
    "settings:platform encoding"
    "commands:platform settings"
    "ftp:platform encoding settings"
    "grid:platform encoding"
    "diff:platform"
    "widgets:platform encoding settings commands"
    "transfer:platform encoding settings commands ftp widgets"
    "doc:platform encoding settings commands ftp widgets transfer"
    "recovery:platform encoding settings ftp doc"
    "restore:platform encoding settings commands ftp widgets transfer doc recovery"
    "editor:platform encoding settings commands widgets doc"
    "options:platform encoding settings commands ftp widgets transfer doc editor"
    "sheet:platform encoding settings commands grid widgets doc editor"
    "compare:platform encoding settings commands diff widgets doc editor"
    "frame:platform encoding settings commands ftp grid diff widgets transfer doc editor options sheet compare"
    "app:platform encoding settings commands ftp grid diff widgets transfer doc recovery restore editor options sheet compare frame"
    "ctl:platform encoding settings commands ftp doc editor")
