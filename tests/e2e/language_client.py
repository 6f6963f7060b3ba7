#!/usr/bin/python3
"""The game's texts in its locale's language, as a screen reader reads them: under ja_JP and C the
Japanese captions exactly and Qt's texts in Japanese; else the English ones and no Japanese character
in any name, description, text or title. Screenshots: $E2E_OUT/language_<locale>_<window>.png."""
import os
import re
import subprocess
import sys

import pyatspi

from atspi_client import application, click, fail, find, press, wait_for

LOCALE = sys.argv[1]
IN = 0 if LOCALE.split(".")[0] in ("ja_JP", "C") else 1   # the column of SHOWS and QT
# What each window shows in Japanese and in English, its title first; Qt's own texts in it by how
# they begin (a box's accept and refuse buttons, a text box menu's first entries).
SHOWS = {
    "main": (["画像選択", "ひとり", "どらごん", "へび"], ["Select Picture", "Alone", "Dragon", "Snake"]),
    "menu": (["画像選択", "画像取込", "プレビュー", "アニメーション", "スコア", "バージョン情報", "操作方法"],
             ["Select Picture", "Import Picture", "Preview", "Animation", "Score", "About", "Controls"]),
    "animation": (["オン", "オフ"], ["On", "Off"]),
    "import": (["画像取込", "ﾋﾞｯﾄﾏｯﾌﾟ(*.bmp,*.dib)", "GIFﾌｧｲﾙ(*.gif)", "JPEGﾌｧｲﾙ(*.jpg)"],
               ["Import Picture", "Bitmaps (*.bmp, *.dib)", "GIF files (*.gif)", "JPEG files (*.jpg)"]),
    "about": (["Tavorinのﾊﾞｰｼﾞｮﾝ情報", "OK", "Ver.1.0.0"], ["About Tavorin", "OK", "Ver.1.0.0"]),
    "controls": (["操作方法", "矢印キー"], ["Controls", "Arrow keys"]),
    "score": (["スコア", "名前なし", "01:00:00"], ["Score", "No name", "01:00:00"]),
    "question": (["確認", "スコアをクリアしてよろしいですか？"], ["Confirm", "Clear the score?"]),
    "hint": (["ヒント", "ヒントを使いますか？\r\nヒントを使ったゲームのタイムは記録されません。"],
             ["Hint", "Use a hint?\r\nThe time of a game played with a hint is not recorded."]),
    "entry": (["記録", "お名前"], ["Record", "Name"]),
    "no name": (["ハイスコア", "名前を入力してください。"], ["High Score", "Please enter your name."]),
}
QT = {"import": (["開く", "キャンセル"], ["Open", "Cancel"]), "question": (["はい", "いいえ"], ["Yes", "No"]),
      "no name": (["OK"], ["OK"]), "text menu": (["元に戻す", "やり直す"], ["Undo", "Redo"])}
QT["hint"] = QT["question"]
focused = []


def listen(event):
    try:
        if event.detail1 == 1 and "menu" in event.source.getRoleName():
            focused.append(event.source)
    except Exception:  # gone by now
        pass


def texts(a):
    """Every name, description and text in the tree of `a`."""
    found = [t for t in (a.name, a.description) if t]
    try:
        found.append(a.queryText().getText(0, -1))
    except Exception:  # no text interface
        pass
    return found + [t for i in range(a.childCount) if a.getChildAtIndex(i) for t in texts(a.getChildAtIndex(i))]


def check(what, strings):
    lines = set(strings) | {line for text in strings for line in text.split("\n")}
    missing = [t for t in SHOWS.get(what, ([], []))[IN] if t not in lines]
    missing += [t + "..." for t in QT.get(what, ([], []))[IN] if not any(s.startswith(t) for s in lines)]
    japanese = [t for t in lines if IN and re.search("[\u3000-\u30ff\u3400-\u9fff\uff00-\uffef]", t)]
    if missing or japanese:
        fail("%s under %s: no %r, Japanese in %r, among %r" % (what, LOCALE, missing, japanese, sorted(lines)))
    print("%s: %d texts, as they should be under %s" % (what, len(lines), LOCALE))


def shoot(what):
    subprocess.run(["import", "-window", "root", "%s/language_%s_%s.png" % (os.environ["E2E_OUT"], LOCALE, what)])


def xdotool(*args):
    return subprocess.run(["xdotool", *args], capture_output=True, text=True).stdout.split()


def main():
    app = wait_for("no application named Tavorin on the accessibility bus", application)
    # Listening once the game is on the bus, which then learns of it and sends its focus events.
    pyatspi.Registry.registerEventListener(listen, "object:state-changed:focused")
    shown = lambda: set(xdotool("search", "--onlyvisible", "--pid", str(app.get_process_id())))
    main_window = wait_for("no main window", shown).pop()
    keys_to = lambda window, *keys: xdotool("windowfocus", "--sync", window, "key", *keys)   # no window manager

    def popup(opener, *keys):   # opens a menu and sends it keys; the windows shown before
        before = shown()
        opener()
        keys_to(wait_for("no menu opened", lambda: shown() - before, 10).pop(), *keys)
        return before

    def entries(opener, *keys):   # the entries of the menu that `keys`, each moving the focus, end in
        del focused[:]
        popup(opener, *keys)
        item = wait_for("the focus went to no menu entry", lambda: len(focused) >= len(keys) and focused[-1], 10)
        return [e.name for e in item.parent if e and e.name]

    menu = lambda: click(find(app, "push button", "Menu"))

    def window(what, *menu_keys):   # the window `what`, opened through the game menu with `menu_keys`, checked
        if menu_keys:
            popup(menu, *menu_keys, "Return")
        found = wait_for("no %s window under %s" % (what, LOCALE),
                         lambda: next((w for w in app if w and w.name == SHOWS[what][IN][0]), None))
        check(what, texts(found))
        shoot(what)
        return found

    def close(what, button):   # a name, or Qt's accept (0) or refuse (1) button
        window = next(w for w in app if w and w.name == SHOWS[what][IN][0])
        click(find(window, "push button", contains=QT[what][IN][button] if button in (0, 1) else button))
        wait_for("the %s window stayed open" % what, lambda: all(w.name != SHOWS[what][IN][0] for w in app if w))

    check("main", texts(app))
    check("menu", entries(menu, "Down"))
    shoot("menu")
    xdotool("key", "Escape")
    check("animation", entries(menu, "Up", "Up", "Up", "Up", "Right"))   # above スコア, opened
    xdotool("key", "Escape", "Escape")
    for what, keys, button in (("import", ("Down", "Down"), 1), ("about", ("Up", "Up"), "OK"), ("controls", ("Up",), "OK")):
        window(what, *keys)
        close(what, button)
    click(find(window("score", "Up", "Up", "Up"), "push button", "Clear"))
    window("question")
    close("question", 1)   # and the score window with it

    # The scripted deal, one slide from solved: the hint question refused, the slide, a best time.
    press(find(app, "push button", "Start"))
    board = wait_for("no board dealt", lambda: (lambda t: t.childCount == 15 and t)(find(app, "table")))
    keys_to(main_window, "h")
    window("hint")
    close("hint", 1)
    press(board.queryTable().getAccessibleAt(0, 0))
    entry = window("entry")
    click(find(entry, "push button", "OK"))   # no name yet
    window("no name")
    close("no name", 0)
    name_box = find(entry, "text")
    click(name_box)
    keys_to((shown() - {main_window}).pop(), "T", "a", "r", "o")
    check("text menu", entries(lambda: click(name_box, 3), "Down"))
    shoot("text_menu")
    xdotool("key", "Escape")
    close("entry", "OK")
    check("main", texts(app))   # now with the tiles' names and places and the announced end
    print("PASS: every window in the language of %s" % LOCALE)


main()
