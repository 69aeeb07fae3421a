<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>Analyzer</name>
    <message>
        <source>Analyzer</source>
        <translation>解析</translation>
    </message>
    <message>
        <source>LCF / MLCF</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>LCF / MLCF Analysis</source>
        <translation>LCF / MLCF 解析</translation>
    </message>
    <message>
        <source>Add Ref</source>
        <translation>参照を追加</translation>
    </message>
    <message>
        <source>MLCF</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fitting Range: </source>
        <translation>フィッティング範囲: </translation>
    </message>
    <message>
        <source>0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>-</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>30000</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[eV]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Amount</source>
        <translation>含有量</translation>
    </message>
    <message>
        <source>Fraction</source>
        <translation>組成比</translation>
    </message>
    <message>
        <source>Show Zansa</source>
        <translation>残差を表示</translation>
    </message>
    <message>
        <source>Zansa</source>
        <translation>残差</translation>
    </message>
    <message>
        <source>Exec</source>
        <translation>実行</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>Disp. on Time</source>
        <translation>逐次表示</translation>
    </message>
    <message>
        <source>Progress [%]</source>
        <translation>進捗 [%]</translation>
    </message>
    <message>
        <source> 0.00</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Residual Absorption</source>
        <translation>残留吸収</translation>
    </message>
    <message>
        <source>Residual Absorption Analysis</source>
        <translation>残留吸収解析</translation>
    </message>
    <message>
        <source>Energy [eV]</source>
        <translation>エネルギー [eV]</translation>
    </message>
    <message>
        <source>Factor</source>
        <translation>係数</translation>
    </message>
    <message>
        <source>1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rest</source>
        <translation>残余</translation>
    </message>
    <message>
        <source>dMut</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ratio</source>
        <translation>比</translation>
    </message>
    <message>
        <source>dMut Scale</source>
        <translation>dMut スケール</translation>
    </message>
    <message>
        <source>Ratio Scale</source>
        <translation>比スケール</translation>
    </message>
    <message>
        <source>Elements</source>
        <translation>元素</translation>
    </message>
    <message>
        <source>Element Analysis</source>
        <translation>元素解析</translation>
    </message>
    <message>
        <source>Target Elements</source>
        <translation>対象元素</translation>
    </message>
    <message>
        <source>Correlation</source>
        <translation>相関</translation>
    </message>
    <message>
        <source>Corr. Th.</source>
        <translation>相関閾値</translation>
    </message>
    <message>
        <source>Sum Up</source>
        <translation>積算</translation>
    </message>
    <message>
        <source>Sum Up Images</source>
        <translation>画像積算</translation>
    </message>
    <message>
        <source>Map Processing</source>
        <translation>マップ処理</translation>
    </message>
    <message>
        <source>Process Maps</source>
        <translation>マップ処理</translation>
    </message>
    <message>
        <source>Sub.</source>
        <translation>減算</translation>
    </message>
    <message>
        <source>Div.</source>
        <translation>除算</translation>
    </message>
    <message>
        <source>Mask</source>
        <translation>マスク</translation>
    </message>
    <message>
        <source>Map 1</source>
        <translation>マップ 1</translation>
    </message>
    <message>
        <source>E-Shift Map 1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Capture as Map 1</source>
        <translation>マップ 1 に取り込み</translation>
    </message>
    <message>
        <source>Select Map 1</source>
        <translation>マップ 1 を選択</translation>
    </message>
    <message>
        <source>Map 2</source>
        <translation>マップ 2</translation>
    </message>
    <message>
        <source>E-Shift Map 2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Capture as Map 2</source>
        <translation>マップ 2 に取り込み</translation>
    </message>
    <message>
        <source>Select Map 2</source>
        <translation>マップ 2 を選択</translation>
    </message>
    <message>
        <source>Processed Map</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Process</source>
        <translation>処理実行</translation>
    </message>
    <message>
        <source>View</source>
        <translation>表示</translation>
    </message>
    <message>
        <source>Fixed Scale</source>
        <translation>固定スケール</translation>
    </message>
    <message>
        <source>Min</source>
        <translation>最小</translation>
    </message>
    <message>
        <source>Max</source>
        <translation>最大</translation>
    </message>
    <message>
        <source>Normalize</source>
        <translation>規格化</translation>
    </message>
    <message>
        <source>Energy Correction</source>
        <translation>エネルギー補正</translation>
    </message>
    <message>
        <source>Analyzing Spectrum</source>
        <translation>解析中のスペクトル</translation>
    </message>
</context>
<context>
    <name>BatchCtrl</name>
    <message>
        <source>Batch</source>
        <translation>バッチ</translation>
    </message>
    <message>
        <source>Batch Cmds</source>
        <translation>バッチコマンド</translation>
    </message>
    <message>
        <source>Progress Log</source>
        <translation>実行ログ</translation>
    </message>
    <message>
        <source>Load</source>
        <translation>読み込み</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Clear Log</source>
        <translation>ログ消去</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>クリア</translation>
    </message>
    <message>
        <source>Exec.</source>
        <translation>実行</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
</context>
<context>
    <name>Body</name>
    <message>
        <source>Lumacresta</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>I1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>I0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Previous image</source>
        <translation>前の画像</translation>
    </message>
    <message>
        <source>&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Next image</source>
        <translation>次の画像</translation>
    </message>
    <message>
        <source>Img. No.</source>
        <translation>画像番号</translation>
    </message>
    <message>
        <source>Data Files</source>
        <translation>データファイル</translation>
    </message>
    <message>
        <source>I1 Data</source>
        <translation>I1 データ</translation>
    </message>
    <message>
        <source>I0 Data</source>
        <translation>I0 データ</translation>
    </message>
    <message>
        <source>Use I0</source>
        <translation>I0 を使用</translation>
    </message>
    <message>
        <source>Dark</source>
        <translation>ダーク</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>クリア</translation>
    </message>
    <message>
        <source>Transmission</source>
        <translation>透過</translation>
    </message>
    <message>
        <source>Fluorescence</source>
        <translation>蛍光</translation>
    </message>
    <message>
        <source>Spectra</source>
        <translation>スペクトル</translation>
    </message>
    <message>
        <source>Background</source>
        <translation>バックグラウンド</translation>
    </message>
    <message>
        <source>Total I0 of I1</source>
        <translation>I1 用の全 I0</translation>
    </message>
    <message>
        <source>Total I0 of I0</source>
        <translation>I0 用の全 I0</translation>
    </message>
    <message>
        <source>Spectrum</source>
        <translation>スペクトル</translation>
    </message>
    <message>
        <source>Bin Half W.</source>
        <translation>ビン半幅 横</translation>
    </message>
    <message>
        <source>H.</source>
        <translation>縦</translation>
    </message>
    <message>
        <source>Pre Edge End</source>
        <translation>プレエッジ終点</translation>
    </message>
    <message>
        <source>Post Edge Start</source>
        <translation>ポストエッジ始点</translation>
    </message>
    <message>
        <source>Suggest Elm.</source>
        <translation>元素推定</translation>
    </message>
    <message>
        <source>Victreen</source>
        <translation>Victoreen 式</translation>
    </message>
    <message>
        <source>Position</source>
        <translation>位置</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>値</translation>
    </message>
    <message>
        <source>dE from Std.</source>
        <translation>標準試料との dE</translation>
    </message>
    <message>
        <source>dE on Map</source>
        <translation>マップ上の dE</translation>
    </message>
    <message>
        <source>Display</source>
        <translation>表示</translation>
    </message>
    <message>
        <source>Show Images</source>
        <translation>画像を表示</translation>
    </message>
    <message>
        <source>Show Results</source>
        <translation>結果を表示</translation>
    </message>
    <message>
        <source>Show Shift Map</source>
        <translation>シフトマップを表示</translation>
    </message>
    <message>
        <source>Reset Scale</source>
        <translation>スケールリセット</translation>
    </message>
    <message>
        <source>Zoom In</source>
        <translation>拡大</translation>
    </message>
    <message>
        <source>Check Vals</source>
        <translation>値の確認</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Normalized XAFS</source>
        <translation>規格化 XAFS</translation>
    </message>
    <message>
        <source>Raw XAFS</source>
        <translation>生 XAFS</translation>
    </message>
    <message>
        <source>Raw</source>
        <translation>生データ</translation>
    </message>
    <message>
        <source>Save Each Spectrum</source>
        <translation>各スペクトルを保存</translation>
    </message>
    <message>
        <source>Save Image</source>
        <translation>画像を保存</translation>
    </message>
    <message>
        <source>Save All Images</source>
        <translation>全画像を保存</translation>
    </message>
    <message>
        <source>Save Data</source>
        <translation>データを保存</translation>
    </message>
    <message>
        <source>Save Data Cfg.</source>
        <translation>データ保存設定</translation>
    </message>
    <message>
        <source>Tools</source>
        <translation>ツール</translation>
    </message>
    <message>
        <source>Analyzer</source>
        <translation>解析</translation>
    </message>
    <message>
        <source>Analyzer 2</source>
        <translation>解析 2</translation>
    </message>
    <message>
        <source>Calibration</source>
        <translation>較正</translation>
    </message>
    <message>
        <source>Image Proc.</source>
        <translation>画像処理</translation>
    </message>
    <message>
        <source>Batch</source>
        <translation>バッチ</translation>
    </message>
    <message>
        <source>Select Image File</source>
        <translation>画像ファイルの選択</translation>
    </message>
    <message>
        <source>Select Background</source>
        <translation>バックグラウンドの選択</translation>
    </message>
    <message>
        <source>Select Total I0 of I1</source>
        <translation>I1 用の全 I0 の選択</translation>
    </message>
    <message>
        <source>Select Total I0 of I0</source>
        <translation>I0 用の全 I0 の選択</translation>
    </message>
    <message>
        <source>Spectrum at the position</source>
        <translation>指定位置のスペクトル</translation>
    </message>
</context>
<context>
    <name>EOFSetup</name>
    <message>
        <source>EngOfFilesSetup</source>
        <translation>ファイルのエネルギー設定</translation>
    </message>
    <message>
        <source>Energy Cal. from File Name</source>
        <translation>ファイル名からエネルギー算出</translation>
    </message>
    <message>
        <source>{Reg. Exp]</source>
        <translation>[正規表現]</translation>
    </message>
    <message>
        <source>Pattern</source>
        <translation>パターン</translation>
    </message>
    <message>
        <source>Factor</source>
        <translation>係数</translation>
    </message>
    <message>
        <source>Energy Cal. from Ref. File</source>
        <translation>参照ファイルからエネルギー算出</translation>
    </message>
    <message>
        <source>Sel.</source>
        <translation>選択</translation>
    </message>
    <message>
        <source>Energy Cal. from File No.</source>
        <translation>ファイル番号からエネルギー算出</translation>
    </message>
    <message>
        <source>Sel. Unit</source>
        <translation>表示単位</translation>
    </message>
    <message>
        <source>eV</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>keV</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>deg</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Even in</source>
        <translation>等間隔</translation>
    </message>
    <message>
        <source>Energy</source>
        <translation>エネルギー</translation>
    </message>
    <message>
        <source>Angle</source>
        <translation>角度</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>開始</translation>
    </message>
    <message>
        <source>8000</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delta</source>
        <translation>刻み</translation>
    </message>
    <message>
        <source>1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>End</source>
        <translation>終了</translation>
    </message>
    <message>
        <source>9000</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Num</source>
        <translation>点数</translation>
    </message>
    <message>
        <source>1000</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reference File</source>
        <translation>参照ファイル</translation>
    </message>
    <message>
        <source>XAFS Data File (*.dat)</source>
        <translation>XAFS データファイル (*.dat)</translation>
    </message>
    <message>
        <source>Any Files (* *.*)</source>
        <translation>すべてのファイル (* *.*)</translation>
    </message>
</context>
<context>
    <name>LCFReference</name>
    <message>
        <source>Select Ref%1</source>
        <translation>参照%1 選択</translation>
    </message>
    <message>
        <source>Reference %1</source>
        <translation>参照 %1</translation>
    </message>
    <message>
        <source>Victreen</source>
        <translation>Victoreen 式</translation>
    </message>
    <message>
        <source>  dE [eV]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MidE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>dMut</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[%]</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SaveDataCfg</name>
    <message>
        <source>Save Data Configuration</source>
        <translation>データ保存設定</translation>
    </message>
    <message>
        <source>Save as Tiff</source>
        <translation>TIFF で保存</translation>
    </message>
    <message>
        <source>Save as Text data</source>
        <translation>テキストデータで保存</translation>
    </message>
    <message>
        <source>Fixed Scale</source>
        <translation>固定スケール</translation>
    </message>
    <message>
        <source>Min</source>
        <translation>最小</translation>
    </message>
    <message>
        <source>0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>  Max</source>
        <translation>  最大</translation>
    </message>
    <message>
        <source>10</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save as Analyzed Area Size and Resolution</source>
        <translation>解析領域のサイズと分解能で保存</translation>
    </message>
    <message>
        <source>Comma Separated</source>
        <translation>カンマ区切り</translation>
    </message>
    <message>
        <source>Space Separated</source>
        <translation>スペース区切り</translation>
    </message>
    <message>
        <source>X Y Val : 1point/1line</source>
        <translation>X Y 値 : 1 行に 1 点</translation>
    </message>
    <message>
        <source>Val1 Val2 Val3... : each Y line</source>
        <translation>値1 値2 値3... : Y ごとに 1 行</translation>
    </message>
</context>
<context>
    <name>SelectDataFiles</name>
    <message>
        <source>Data Files</source>
        <translation>データファイル</translation>
    </message>
    <message>
        <source>Sel. Files</source>
        <translation>ファイル選択</translation>
    </message>
    <message>
        <source>Append</source>
        <translation>追加</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>クリア</translation>
    </message>
    <message>
        <source>Energy Setup</source>
        <translation>エネルギー設定</translation>
    </message>
    <message>
        <source>&lt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Files</source>
        <translation>ファイル数</translation>
    </message>
    <message>
        <source>0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show Latest</source>
        <translation>最新を表示</translation>
    </message>
    <message>
        <source>Skip</source>
        <translation>間引き</translation>
    </message>
    <message>
        <source>Cut First</source>
        <translation>先頭を除外</translation>
    </message>
    <message>
        <source>Cut Last</source>
        <translation>末尾を除外</translation>
    </message>
    <message>
        <source>Image Files</source>
        <translation>画像ファイル</translation>
    </message>
    <message>
        <source>VRSK Files, IMG Files, Tiff Files (*.dat *.img *.tif *.tiff)</source>
        <translation>VRSK ファイル, IMG ファイル, TIFF ファイル (*.dat *.img *.tif *.tiff)</translation>
    </message>
    <message>
        <source>Any Files (* *.*)</source>
        <translation>すべてのファイル (* *.*)</translation>
    </message>
</context>
<context>
    <name>XafsFileSelect</name>
    <message>
        <source>Select</source>
        <translation>選択</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>クリア</translation>
    </message>
    <message>
        <source>Use</source>
        <translation>使用</translation>
    </message>
</context>
<context>
    <name>XafsView</name>
    <message>
        <source>Spectrum at the position</source>
        <translation>指定位置のスペクトル</translation>
    </message>
    <message>
        <source>Normalized</source>
        <translation>規格化</translation>
    </message>
    <message>
        <source>E. Correct</source>
        <translation>E 補正</translation>
    </message>
    <message>
        <source>Show Raw</source>
        <translation>生データを表示</translation>
    </message>
    <message>
        <source>Show FFT</source>
        <translation>FFT を表示</translation>
    </message>
    <message>
        <source>E [eV]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>mu</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reset X Axis Scale</source>
        <translation>X 軸スケールをリセット</translation>
    </message>
    <message>
        <source>Reset X</source>
        <translation>X リセット</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Save Spectra</source>
        <translation>スペクトルを保存</translation>
    </message>
</context>
</TS>
