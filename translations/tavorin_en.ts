<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>HintController</name>
    <message>
        <source>ヒントを使いますか？<byte value="xd"/>
ヒントを使ったゲームのタイムは記録されません。</source>
        <translation>Use a hint?<byte value="xd"/>
The time of a game played with a hint is not recorded.</translation>
    </message>
    <message>
        <source>ヒント</source>
        <translation>Hint</translation>
    </message>
</context>
<context>
    <name>accessibility</name>
    <message>
        <source>盤面</source>
        <translation>Board</translation>
    </message>
    <message>
        <source>4 x 4のタイル。空きの隣のタイルを空きへ動かします</source>
        <translation>4 x 4 tiles; slide a tile beside the gap into it</translation>
    </message>
    <message>
        <source>Menu</source>
        <extracomment>The lettering of the Menu button&apos;s picture, kept as drawn.</extracomment>
        <translation>Menu</translation>
    </message>
    <message>
        <source>ゲームのメニューを開きます</source>
        <translation>Opens the game menu</translation>
    </message>
    <message>
        <source>Start</source>
        <extracomment>The lettering of the Start button&apos;s picture, kept as drawn.</extracomment>
        <translation>Start</translation>
    </message>
    <message>
        <source>新しいゲームを始めます</source>
        <translation>Starts a new game</translation>
    </message>
    <message>
        <source>End</source>
        <extracomment>The lettering of the End button&apos;s picture, kept as drawn.</extracomment>
        <translation>End</translation>
    </message>
    <message>
        <source>ゲームを終わります</source>
        <translation>Quits the game</translation>
    </message>
    <message>
        <source>画像%1</source>
        <translation>Picture %1</translation>
    </message>
    <message>
        <source>次のゲームの画像を画像%1にします</source>
        <translation>Chooses picture %1 for the next game</translation>
    </message>
    <message>
        <source>Tavorin</source>
        <extracomment>The lettering of the title&apos;s picture, kept as drawn.</extracomment>
        <translation>Tavorin</translation>
    </message>
    <message>
        <source>タイル%1</source>
        <translation>Tile %1</translation>
    </message>
    <message>
        <source>画像の%1列%2行目のピース、いまは%3列%4行目</source>
        <translation>Piece from column %1, row %2 of the picture, now in column %3, row %4</translation>
    </message>
    <message>
        <source>%1、%2行%3列</source>
        <translation>%1, row %2, column %3</translation>
    </message>
    <message>
        <source>空き</source>
        <translation>gap</translation>
    </message>
    <message>
        <source>、</source>
        <extracomment>Between the cells of a row read aloud.</extracomment>
        <translation>, </translation>
    </message>
    <message>
        <source>%1行目：%2</source>
        <translation>row %1: %2</translation>
    </message>
    <message>
        <source>。</source>
        <extracomment>Between the rows of the board read aloud.</extracomment>
        <translation>; </translation>
    </message>
    <message>
        <source>タイム %1</source>
        <translation>Time %1</translation>
    </message>
    <message>
        <source>%1、タイム %2</source>
        <translation>%1, time %2</translation>
    </message>
    <message>
        <source>右へ</source>
        <translation>right</translation>
    </message>
    <message>
        <source>左へ</source>
        <translation>left</translation>
    </message>
    <message>
        <source>上へ</source>
        <translation>up</translation>
    </message>
    <message>
        <source>下へ</source>
        <translation>down</translation>
    </message>
    <message>
        <source>ヒント：%1を%2</source>
        <translation>Hint: slide %1 %2</translation>
    </message>
</context>
<context>
    <name>errors</name>
    <message>
        <source>実行時エラー &apos;%1&apos;:

%2</source>
        <extracomment>The uncaught-error report: %1 is the error&apos;s number, %2 its own text as it was raised.</extracomment>
        <translation>Run-time error &apos;%1&apos;:

%2</translation>
    </message>
    <message>
        <source>原因のわからないエラー</source>
        <translation>Unknown error</translation>
    </message>
</context>
<context>
    <name>frmAbout</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>%1のﾊﾞｰｼﾞｮﾝ情報</source>
        <extracomment>The about window&apos;s title; %1 is the program&apos;s name.</extracomment>
        <translation>About %1</translation>
    </message>
    <message>
        <source>Ver.%1.%2.%3</source>
        <translation>Ver.%1.%2.%3</translation>
    </message>
</context>
<context>
    <name>frmHelp</name>
    <message>
        <source>タイルをクリック</source>
        <translation>Click a tile beside the gap</translation>
    </message>
    <message>
        <source>空きの隣のタイルなら、空きへ動く</source>
        <translation>slides it into the gap</translation>
    </message>
    <message>
        <source>矢印キー</source>
        <translation>Arrow keys</translation>
    </message>
    <message>
        <source>矢印の向きにタイルが空きへ動く</source>
        <translation>slide a tile into the gap, the way they point</translation>
    </message>
    <message>
        <source>H</source>
        <translation>H</translation>
    </message>
    <message>
        <source>ヒント: 次に動かすタイルが点滅（記録なし）</source>
        <translation>hint: blinks the tile to slide next (no record then)</translation>
    </message>
    <message>
        <source>Ctrl+N、F2</source>
        <translation>Ctrl+N, F2</translation>
    </message>
    <message>
        <source>Start: 新しいゲーム</source>
        <translation>Start: a new game</translation>
    </message>
    <message>
        <source>Ctrl+Q</source>
        <translation>Ctrl+Q</translation>
    </message>
    <message>
        <source>End: ゲームを終わる</source>
        <translation>End: quits the game</translation>
    </message>
    <message>
        <source>F10、メニューキー</source>
        <translation>F10, Menu key</translation>
    </message>
    <message>
        <source>ゲームのメニューを開く</source>
        <translation>opens the game menu</translation>
    </message>
    <message>
        <source>Tab、Shift+Tab</source>
        <translation>Tab, Shift+Tab</translation>
    </message>
    <message>
        <source>Space、Enter</source>
        <translation>Space, Enter</translation>
    </message>
    <message>
        <source>フォーカスのあるボタンや画像を押す</source>
        <translation>press the button or picture with the focus</translation>
    </message>
    <message>
        <source>Esc</source>
        <translation>Esc</translation>
    </message>
    <message>
        <source>この画面とゲームのメニューを閉じる</source>
        <translation>closes this window and the game menu</translation>
    </message>
    <message>
        <source>操作方法</source>
        <translation>Controls</translation>
    </message>
    <message>
        <source>OK</source>
        <extracomment>The lettering of the OK button&apos;s picture, kept as drawn.</extracomment>
        <translation>OK</translation>
    </message>
    <message>
        <source>操作方法を閉じます</source>
        <translation>Closes the list of controls</translation>
    </message>
    <message>
        <source>B</source>
        <translation>B</translation>
    </message>
    <message>
        <source>スクリーンリーダーが盤面を1行目から読む</source>
        <translation>a screen reader reads the board, row by row</translation>
    </message>
    <message>
        <source>T</source>
        <translation>T</translation>
    </message>
    <message>
        <source>スクリーンリーダーがタイムを読む</source>
        <translation>a screen reader reads the time</translation>
    </message>
    <message>
        <source>ボタン、盤面、画像の間を移る</source>
        <translation>move between the buttons, the board and the pictures</translation>
    </message>
</context>
<context>
    <name>frmMain</name>
    <message>
        <source>タイム</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>メニュー</source>
        <translation>Menu</translation>
    </message>
    <message>
        <source>画像選択</source>
        <translation>Select Picture</translation>
    </message>
    <message>
        <source>画像取込</source>
        <translation>Import Picture</translation>
    </message>
    <message>
        <source>プレビュー</source>
        <translation>Preview</translation>
    </message>
    <message>
        <source>アニメーション</source>
        <translation>Animation</translation>
    </message>
    <message>
        <source>オン</source>
        <translation>On</translation>
    </message>
    <message>
        <source>オフ</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>スコア</source>
        <translation>Score</translation>
    </message>
    <message>
        <source>バージョン情報</source>
        <translation>About</translation>
    </message>
    <message>
        <source>操作方法</source>
        <translation>Controls</translation>
    </message>
</context>
<context>
    <name>frmPreview</name>
    <message>
        <source>プレビュー</source>
        <translation>Preview</translation>
    </message>
    <message>
        <source>このゲームの画像の全体</source>
        <translation>The whole picture of this game</translation>
    </message>
    <message>
        <source>Close</source>
        <extracomment>The lettering of the Close button&apos;s picture, kept as drawn.</extracomment>
        <translation>Close</translation>
    </message>
    <message>
        <source>プレビューを閉じます</source>
        <translation>Closes the preview</translation>
    </message>
</context>
<context>
    <name>frmScore</name>
    <message>
        <source>名前なし</source>
        <translation>No name</translation>
    </message>
    <message>
        <source>スコア</source>
        <translation>Score</translation>
    </message>
    <message>
        <source>Clear</source>
        <extracomment>The lettering of the Clear button&apos;s picture, kept as drawn.</extracomment>
        <translation>Clear</translation>
    </message>
    <message>
        <source>確認のうえ、ベストタイムを消します</source>
        <translation>Clears the best time, after asking</translation>
    </message>
    <message>
        <source>OK</source>
        <extracomment>The lettering of the OK button&apos;s picture, kept as drawn.</extracomment>
        <translation>OK</translation>
    </message>
    <message>
        <source>スコアを閉じます</source>
        <translation>Closes the best time</translation>
    </message>
    <message>
        <source>スコアをクリアしてよろしいですか？</source>
        <translation>Clear the score?</translation>
    </message>
    <message>
        <source>確認</source>
        <translation>Confirm</translation>
    </message>
    <message>
        <source>%1、%2</source>
        <translation>%1, %2</translation>
    </message>
</context>
<context>
    <name>frmScrName</name>
    <message>
        <source>記録</source>
        <translation>Record</translation>
    </message>
    <message>
        <source>お名前</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>OK</source>
        <extracomment>The lettering of the OK button&apos;s picture, kept as drawn.</extracomment>
        <translation>OK</translation>
    </message>
    <message>
        <source>この名前でベストタイムを記録します</source>
        <translation>Keeps the best time under this name</translation>
    </message>
    <message>
        <source>名前を入力してください。</source>
        <translation>Please enter your name.</translation>
    </message>
    <message>
        <source>ハイスコア</source>
        <translation>High Score</translation>
    </message>
</context>
<context>
    <name>pictureImport</name>
    <message>
        <source>画像取込</source>
        <translation>Import Picture</translation>
    </message>
    <message>
        <source>ﾋﾞｯﾄﾏｯﾌﾟ(*.bmp,*.dib)</source>
        <translation>Bitmaps (*.bmp, *.dib)</translation>
    </message>
    <message>
        <source>GIFﾌｧｲﾙ(*.gif)</source>
        <translation>GIF files (*.gif)</translation>
    </message>
    <message>
        <source>JPEGﾌｧｲﾙ(*.jpg)</source>
        <translation>JPEG files (*.jpg)</translation>
    </message>
    <message>
        <source>この画像ファイルは認識できません。<byte value="xd"/>
もう一度画像ファイルを指定してください。</source>
        <translation>This picture file cannot be recognised.<byte value="xd"/>
Please choose a picture file again.</translation>
    </message>
    <message>
        <source>画像取込エラー</source>
        <translation>Picture Import Error</translation>
    </message>
</context>
</TS>
