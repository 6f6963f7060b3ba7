#!/usr/bin/python3
"""The game's texts in the player's language, read as a screen reader reads them.

Its argument is the game's locale. Under ja_JP and C every window shows its Japanese captions
exactly and Qt's own buttons and entries are Japanese; under any other locale every window shows
its English ones and no name, description, text or window title holds a Japanese character (the
lettering of the pictures is no text). Walks the main window, the game menu and its submenu, the
import dialog, the about and controls windows, the score window and its question, the hint
question, and the name entry with its message and its text box's menu. Screenshots go to
$E2E_OUT/language_<locale>_<window>.png.
"""
import os
import re
import subprocess
import sys

import pyatspi

from atspi_lib import application, click, fail, find, key, poll, press, pump, wait_for

LOCALE = sys.argv[1]
IN = 0 if LOCALE.split(".")[0] in ("ja_JP", "C") else 1   # the column of SHOWS and QT
JAPANESE_CHARACTER = re.compile("[\u3000-\u30ff\u3400-\u9fff\uff00-\uffef]")

# What each window shows, in Japanese and in English: a window's title first.
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
    "text menu": ([], []),
}
# Qt's own texts in those windows, by how their names begin: the accept and the refuse button
# (the text box's menu: its first two entries).
QT = {
    "import": (["開く", "キャンセル"], ["Open", "Cancel"]),
    "question": (["はい", "いいえ"], ["Yes", "No"]),
    "hint": (["はい", "いいえ"], ["Yes", "No"]),
    "no name": (["OK"], ["OK"]),
    "text menu": (["元に戻す", "やり直す"], ["Undo", "Redo"]),
}
focused = []


def listen(event):
    try:
        if event.detail1 == 1 and "menu" in event.source.getRoleName():
            focused.append(event.source)
    except Exception:  # gone by now
        pass


def texts(root):
    """Every name, description and text in the tree of `root`, and each line of them."""
    found = []
    def walk(a):
        found.extend(t for t in (a.name, a.description) if t)
        try:
            found.append(a.queryText().getText(0, -1))
        except Exception:  # no text interface
            pass
        for i in range(a.childCount):
            if a.getChildAtIndex(i) is not None:
                walk(a.getChildAtIndex(i))
    walk(root)
    return found


def check(what, strings):
    lines = set(strings) | {line for text in strings for line in text.split("\n")}
    missing = [text for text in SHOWS[what][IN] if text not in lines]
    missing += [start + "..." for start in QT.get(what, ([], []))[IN] if not any(t.startswith(start) for t in lines)]
    if missing:
        fail("%s under %s: no %r among %r" % (what, LOCALE, missing, sorted(lines)))
    japanese = [text for text in lines if JAPANESE_CHARACTER.search(text)]
    if IN == 1 and japanese:
        fail("%s under %s holds Japanese: %r" % (what, LOCALE, japanese))
    print("%s: %d texts, as they should be under %s" % (what, len(lines), LOCALE))


def shoot(name):
    subprocess.run(["import", "-window", "root", "%s/language_%s_%s.png" % (os.environ["E2E_OUT"], LOCALE, name)],
                   check=True)


class Game:
    def __init__(self):
        self.app = wait_for("no application named Tavorin on the accessibility bus", application)
        self.pid = str(self.app.get_process_id())
        wait_for("no Menu button", lambda: find(self.app, "push button", "Menu"))
        self.main = wait_for("no main window on the screen", self.x_windows)[0]

    def x_windows(self):
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", self.pid], capture_output=True, text=True)
        return found.stdout.split()

    def keys_to(self, window, *keys):
        """Gives `window` the keyboard (no window manager does it here) and sends it `keys`."""
        subprocess.run(["xdotool", "windowfocus", "--sync", window, "key", *keys], check=True)

    def popup(self, opener, *keys):
        """Opens a menu with `opener` and sends it `keys`; the windows shown before."""
        shown = set(self.x_windows())
        opener()
        new = wait_for("no menu opened", lambda: set(self.x_windows()) - shown, 10)
        if keys:
            self.keys_to(new.pop(), *keys)
        return shown

    def window_now(self, what):
        title = SHOWS[what][IN][0]
        return next((w for w in self.app if w is not None and w.name == title), None)

    def window(self, what):
        return wait_for("no %s window under %s" % (what, LOCALE), lambda: self.window_now(what))

    def closed(self, what):
        wait_for("the %s window stayed open" % what, lambda: not self.window_now(what))

    def menu(self, *keys):
        """Opens the game menu with a click on Menu and sends it `keys`."""
        self.popup(lambda: click(find(self.app, "push button", "Menu")), *keys)

    def entries(self, opener, *keys):
        """Opens a menu with `opener` and sends it `keys`, each moving its focus; the names of the
        entries of the menu the last one lands in. Keys that come before the menu takes them, or
        before the bridge reports focus, are lost: then the menu is closed and opened again."""
        for _ in range(3):
            del focused[:]
            shown = self.popup(opener, *keys)
            item = poll(lambda: len(focused) >= len(keys) and focused[-1], 5)
            if item:
                menu = item.parent
                return [menu.getChildAtIndex(i).name for i in range(menu.childCount) if menu.getChildAtIndex(i).name]
            while set(self.x_windows()) - shown:
                key("Escape")
                pump(0.2)
        fail("the focus went to no menu entry")


def button(window, what, index):
    """Qt's accept (0) or refuse (1) button of `window`."""
    start = QT[what][IN][index]
    return find(window, "push button", contains=start) or fail("%s: no button %s..." % (what, start))


def main():
    game = Game()
    # Listening once the game is on the bus, which then learns of it and sends its focus events.
    pyatspi.Registry.registerEventListener(listen, "object:state-changed:focused")
    check("main", texts(game.app))

    open_menu = lambda: click(find(game.app, "push button", "Menu"))
    check("menu", game.entries(open_menu, "Down"))
    shoot("menu")
    key("Escape")
    check("animation", game.entries(open_menu, "Up", "Up", "Up", "Up", "Right"))   # above スコア: アニメーション, open
    key("Escape", "Escape")

    game.menu("Down", "Down", "Return")   # 画像取込
    dialog = game.window("import")
    check("import", texts(dialog))
    shoot("import")
    click(button(dialog, "import", 1))
    game.closed("import")

    for what, keys, close in (("about", ("Up", "Up"), "OK"), ("controls", ("Up",), "OK")):
        game.menu(*keys, "Return")
        window = game.window(what)
        check(what, texts(window))
        shoot(what)
        click(find(window, "push button", close))
        game.closed(what)

    game.menu("Up", "Up", "Up", "Return")   # スコア
    score = game.window("score")
    check("score", texts(score))
    shoot("score")
    click(find(score, "push button", "Clear"))
    question = game.window("question")
    check("question", texts(question))
    click(button(question, "question", 1))
    game.closed("score")

    # A game one slide from solved (the scripted shuffle): the hint question, refused, then the
    # slide that solves it, and a best time to name.
    press(find(game.app, "push button", "Start"))
    board = wait_for("no board dealt", lambda: (lambda t: t and t.childCount == 15 and t)(find(game.app, "table")))
    game.keys_to(game.main, "h")
    hint = game.window("hint")
    check("hint", texts(hint))
    shoot("hint")
    click(button(hint, "hint", 1))
    game.closed("hint")
    press(board.queryTable().getAccessibleAt(0, 0))
    entry = game.window("entry")
    check("entry", texts(entry))
    click(find(entry, "push button", "OK"))
    empty = game.window("no name")
    check("no name", texts(empty))
    click(button(empty, "no name", 0))
    game.closed("no name")
    name_box = find(entry, "text")
    click(name_box)
    game.keys_to((set(game.x_windows()) - {game.main}).pop(), "T", "a", "r", "o")
    check("text menu", game.entries(lambda: click(name_box, 3), "Down"))
    shoot("text_menu")
    key("Escape")
    click(find(entry, "push button", "OK"))
    game.closed("entry")
    print("PASS: every window in the language of %s" % LOCALE)


main()
