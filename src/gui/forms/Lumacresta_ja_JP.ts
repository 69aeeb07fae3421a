<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>AElemsConds</name>
    <message>
        <source>Analyze Elems Conditions</source>
        <translation>元素解析の条件</translation>
    </message>
    <message>
        <source>BG Values : </source>
        <translation>BG 値 : </translation>
    </message>
    <message>
        <source>dmut</source>
        <translation>dmut</translation>
    </message>
    <message>
        <source>-1</source>
        <translation>-1</translation>
    </message>
    <message>
        <source>dmut-Ratio</source>
        <translation>dmut 比</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>dE</source>
        <translation>dE</translation>
    </message>
    <message>
        <source>ROI</source>
        <translation>ROI</translation>
    </message>
    <message>
        <source>NROI</source>
        <translation>NROI</translation>
    </message>
    <message>
        <source>Edge position</source>
        <translation>エッジ位置</translation>
    </message>
    <message>
        <source>How the DE maps place the edge: on a grid point (the crossing pair&apos;s mid-energy), interpolated between the two points around the half level, or at the largest slope refined by a parabola.</source>
        <translation>DE マップでのエッジの置き方: 格子点上(交差する 2 点の中間エネルギー)、半分の高さを挟む 2 点の間で補間、または放物線で精密化した最大傾斜の位置。</translation>
    </message>
</context>
<context>
    <name>Analyzer</name>
    <message>
        <source>Analyzer</source>
        <translation>解析</translation>
    </message>
    <message>
        <source>LCF / MLCF</source>
        <translation>LCF / MLCF</translation>
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
        <translation>MLCF</translation>
    </message>
    <message>
        <source>Fitting Range: </source>
        <translation>フィッティング範囲: </translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>-</source>
        <translation>-</translation>
    </message>
    <message>
        <source>30000</source>
        <translation>30000</translation>
    </message>
    <message>
        <source>[eV]</source>
        <translation>[eV]</translation>
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
        <translation> 0.00</translation>
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
        <source>1</source>
        <translation>1</translation>
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
        <translation>E シフトマップ 1</translation>
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
        <translation>E シフトマップ 2</translation>
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
        <translation>処理済みマップ</translation>
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
    <message>
        <source>Fractions sum to 1</source>
        <translation>分率の和を 1 に</translation>
    </message>
    <message>
        <source>LCF: fit the fractions under the condition that they add up to 1</source>
        <translation>LCF: 分率の和が 1 になる条件でフィットします</translation>
    </message>
    <message>
        <source>Non-negative</source>
        <translation>負にしない</translation>
    </message>
    <message>
        <source>LCF with fractions summing to 1: no fraction below 0</source>
        <translation>分率の和を 1 とする LCF で、どの分率も 0 未満にしません</translation>
    </message>
    <message>
        <source>Residual as R-factor</source>
        <translation>残差を R 因子で</translation>
    </message>
    <message>
        <source>Residual map &quot;a2d Zansa&quot;: off, the mean of ((fit - y) / y)²; on, the R-factor Σ(fit - y)² / Σy² over the fitting range</source>
        <translation>残差マップ &quot;a2d Zansa&quot;: オフで ((fit - y) / y)² の平均、オンでフィット範囲の R 因子 Σ(fit - y)² / Σy²</translation>
    </message>
    <message>
        <source>Res = mut(</source>
        <translation>残差 = mut(</translation>
    </message>
    <message>
        <source>8200</source>
        <translation>8200</translation>
    </message>
    <message>
        <source> [eV])- dmut x</source>
        <translation> [eV])- dmut x</translation>
    </message>
    <message>
        <source>1.0</source>
        <translation>1.0</translation>
    </message>
    <message>
        <source>Show the Rest</source>
        <translation>残差を表示</translation>
    </message>
    <message>
        <source>Show dmut</source>
        <translation>dmut を表示</translation>
    </message>
    <message>
        <source>Show Ratio</source>
        <translation>比を表示</translation>
    </message>
    <message>
        <source>Target Element Names</source>
        <translation>対象元素名</translation>
    </message>
    <message>
        <source>Sort by A. No.</source>
        <translation>原子番号順</translation>
    </message>
    <message>
        <source>Conditions</source>
        <translation>条件</translation>
    </message>
    <message>
        <source>Disp. on TIme</source>
        <translation>随時表示</translation>
    </message>
    <message>
        <source>Set STD</source>
        <translation>標準に設定</translation>
    </message>
    <message>
        <source>ReCalc Cor.</source>
        <translation>相関を再計算</translation>
    </message>
    <message>
        <source>Cor. Th</source>
        <translation>相関しきい値</translation>
    </message>
    <message>
        <source>0.9</source>
        <translation>0.9</translation>
    </message>
    <message>
        <source>dmut</source>
        <translation>dmut</translation>
    </message>
    <message>
        <source>mu+</source>
        <translation>mu+</translation>
    </message>
    <message>
        <source>mu-</source>
        <translation>mu-</translation>
    </message>
    <message>
        <source>dE</source>
        <translation>dE</translation>
    </message>
    <message>
        <source>ROI</source>
        <translation>ROI</translation>
    </message>
    <message>
        <source>NROI</source>
        <translation>NROI</translation>
    </message>
    <message>
        <source>No map to capture</source>
        <translation>取り込むマップがありません</translation>
    </message>
    <message>
        <source>No element maps to correlate</source>
        <translation>相関をとる元素マップがありません</translation>
    </message>
    <message>
        <source>Select Map %1</source>
        <translation>マップ %1 を選択</translation>
    </message>
    <message>
        <source>Process Maps: Map 1 and Map 2 must both hold a map</source>
        <translation>マップ処理: マップ 1 とマップ 2 の両方にマップが必要です</translation>
    </message>
    <message>
        <source>Not fitted: %1</source>
        <translation>フィットせず: %1</translation>
    </message>
    <message>
        <source>Correlation map needs at least two elements</source>
        <translation>相関マップには2つ以上の元素が必要です</translation>
    </message>
    <message>
        <source>Residual as R-factor</source>
        <translation>残差を R 因子で</translation>
    </message>
    <message>
        <source>Residual map &quot;a2d Zansa&quot;: off, the mean of ((fit - y) / y)²; on, the R-factor Σ(fit - y)² / Σy² over the fitting range</source>
        <translation>残差マップ「a2d Zansa」: オフでは ((fit - y) / y)² の平均、オンではフィッティング範囲での R 因子 Σ(fit - y)² / Σy²</translation>
    </message>
</context>
<context>
    <name>Analyzer2</name>
    <message>
        <source>Analyzer 2</source>
        <translation>解析 2</translation>
    </message>
    <message>
        <source>CollectQInfo</source>
        <translation>Q 情報を収集</translation>
    </message>
    <message>
        <source>Fourier Analysis</source>
        <translation>フーリエ解析</translation>
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
    <message>
        <source>  failed
</source>
        <translation>  失敗
</translation>
    </message>
    <message>
        <source>  failed: %1
</source>
        <translation>  失敗: %1
</translation>
    </message>
</context>
<context>
    <name>Body</name>
    <message>
        <source>Not read: %1</source>
        <translation>読み込めません: %1</translation>
    </message>
    <message>
        <source>Lumacresta</source>
        <translation>Lumacresta</translation>
    </message>
    <message>
        <source>I1</source>
        <translation>I1</translation>
    </message>
    <message>
        <source>I0</source>
        <translation>I0</translation>
    </message>
    <message>
        <source>&lt;</source>
        <translation>&lt;</translation>
    </message>
    <message>
        <source>Previous image</source>
        <translation>前の画像</translation>
    </message>
    <message>
        <source>&gt;</source>
        <translation>&gt;</translation>
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
    <message>
        <source>Load HDF5 stack</source>
        <translation>HDF5 スタックを読み込み</translation>
    </message>
    <message>
        <source>I1, flats (I0), dark and energies from one HDF5 file</source>
        <translation>I1、フラット (I0)、ダークとエネルギーを 1 つの HDF5 ファイルから読み込みます</translation>
    </message>
    <message>
        <source>Deglitch</source>
        <translation>グリッチ除去</translation>
    </message>
    <message>
        <source>Factor</source>
        <translation>係数</translation>
    </message>
    <message>
        <source>1.0</source>
        <translation>1.0</translation>
    </message>
    <message>
        <source>Show Processed</source>
        <translation>処理結果を表示</translation>
    </message>
    <message>
        <source>Ratio</source>
        <translation>比</translation>
    </message>
    <message>
        <source>0.1</source>
        <translation>0.1</translation>
    </message>
    <message>
        <source>Save Flat/Dark</source>
        <translation>フラット/ダークを保存</translation>
    </message>
    <message>
        <source>No image read from the files chosen: the stack stays as it was</source>
        <translation>選んだファイルから画像を読めませんでした: スタックはそのままです</translation>
    </message>
    <message>
        <source>Components...</source>
        <translation>成分分析...</translation>
    </message>
    <message>
        <source>Deglitch: no map</source>
        <translation>グリッチ除去: マップがありません</translation>
    </message>
    <message>
        <source>HDF5 files (*.h5 *.hdf5 *.hdf *.nxs);;All files (*)</source>
        <translation>HDF5 ファイル (*.h5 *.hdf5 *.hdf *.nxs);;すべてのファイル (*)</translation>
    </message>
    <message>
        <source>absorption along the row</source>
        <translation>行に沿った吸収</translation>
    </message>
    <message>
        <source>along the column</source>
        <translation>列に沿った吸収</translation>
    </message>
    <message>
        <source>Save Data writes: %1</source>
        <translation>データ保存の対象: %1</translation>
    </message>
    <message>
        <source>Save Data: no map to save</source>
        <translation>データ保存: 保存するマップがありません</translation>
    </message>
    <message>
        <source>No map to save</source>
        <translation>保存するマップがありません</translation>
    </message>
    <message>
        <source>Used only while &quot;Suggest Elm.&quot; is ticked; otherwise the edge is searched and the lines end and start 10 eV from it.</source>
        <translation>「元素推定」にチェックがあるときだけ使います。ないときはエッジを探し、線はエッジから 10 eV で終わり・始まります。</translation>
    </message>
    <message>
        <source>Residual absorption at %1 eV is outside the stack&apos;s energies: extrapolated</source>
        <translation>残差吸収の %1 eV はスタックのエネルギー範囲外です: 外挿します</translation>
    </message>
    <message numerus="yes">
        <source>Cluster %1 (%n points)</source>
        <translation>
            <numerusform>クラスター %1 (%n 点)</numerusform>
        </translation>
    </message>
    <message>
        <source>A batch command is running: the images stay as they are</source>
        <translation>バッチのコマンドが実行中です: 画像はそのままです</translation>
    </message>
</context>
<context>
    <name>CalibCtrl</name>
    <message>
        <source>Calibration</source>
        <translation>較正</translation>
    </message>
    <message>
        <source>Std. :</source>
        <translation>標準 :</translation>
    </message>
    <message>
        <source>Std. BG :</source>
        <translation>標準 BG :</translation>
    </message>
    <message>
        <source>Simple</source>
        <translation>単純</translation>
    </message>
    <message>
        <source>Victreen</source>
        <translation>Victoreen 式</translation>
    </message>
    <message>
        <source>Edge [eV]</source>
        <translation>エッジ [eV]</translation>
    </message>
    <message>
        <source>Target :</source>
        <translation>対象 :</translation>
    </message>
    <message>
        <source>dMidx</source>
        <translation>dMidx</translation>
    </message>
    <message>
        <source>inner P.</source>
        <translation>内側点</translation>
    </message>
    <message>
        <source>Exec Calib.</source>
        <translation>較正を実行</translation>
    </message>
    <message>
        <source>Clear Map</source>
        <translation>マップを消去</translation>
    </message>
    <message>
        <source>Edge position :</source>
        <translation>エッジ位置 :</translation>
    </message>
    <message>
        <source>How each point&apos;s edge is placed: on a grid point (midx), interpolated between the two points around the half jump, or at the largest slope refined by a parabola. The standard is read the same way.</source>
        <translation>各点のエッジの置き方: 格子点上 (midx)、半分の跳びを挟む 2 点の間で補間、または放物線で精密化した最大傾斜の位置。標準も同じ方法で読みます。</translation>
    </message>
    <message>
        <source>Delta Energy [eV]</source>
        <translation>エネルギー差 [eV]</translation>
    </message>
    <message>
        <source>Avr.</source>
        <translation>平均</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>sigma</source>
        <translation>σ</translation>
    </message>
    <message>
        <source>Min.</source>
        <translation>最小</translation>
    </message>
    <message>
        <source>Max.</source>
        <translation>最大</translation>
    </message>
    <message>
        <source>Map :</source>
        <translation>マップ :</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Load</source>
        <translation>読み込み</translation>
    </message>
    <message>
        <source>Select Std.</source>
        <translation>標準を選択</translation>
    </message>
    <message>
        <source>Save Energy Shift Map</source>
        <translation>エネルギーシフトマップを保存</translation>
    </message>
    <message>
        <source>Load Energy Shift Map</source>
        <translation>エネルギーシフトマップを読み込み</translation>
    </message>
    <message>
        <source>Replaces every shift 40 eV or more from the map&apos;s mean by the mean of its neighbours within that limit</source>
        <translation>マップの平均から 40 eV 以上離れたシフトを、その範囲内にある近傍の平均で置き換えます</translation>
    </message>
    <message>
        <source>Remove Outliers</source>
        <translation>外れ値を除去</translation>
    </message>
</context>
<context>
    <name>ComponentRun</name>
    <message>
        <source>Cluster analysis not started: %1</source>
        <translation>クラスター分析を開始しません: %1</translation>
    </message>
    <message>
        <source>PCA not started: %1</source>
        <translation>主成分分析を開始しません: %1</translation>
    </message>
    <message>
        <source>%1 scores, as asked</source>
        <translation>スコア %1 個 (指定どおり)</translation>
    </message>
    <message>
        <source>%1 scores: the components above the noise floor (singular values above %2; the next is %3)</source>
        <translation>スコア %1 個: ノイズの床より上の成分 (特異値が %2 より大きいもの。次の特異値は %3)</translation>
    </message>
</context>
<context>
    <name>ComponentsWindow</name>
    <message>
        <source>Components</source>
        <translation>成分分析</translation>
    </message>
    <message>
        <source>auto (above noise)</source>
        <translation>自動 (ノイズより上)</translation>
    </message>
    <message>
        <source>Components (N)</source>
        <translation>成分数 (N)</translation>
    </message>
    <message>
        <source>Clusters (K)</source>
        <translation>クラスター数 (K)</translation>
    </message>
    <message>
        <source>Scores for clusters</source>
        <translation>クラスター用スコア数</translation>
    </message>
    <message>
        <source>Exec PCA</source>
        <translation>PCA を実行</translation>
    </message>
    <message>
        <source>Exec Cluster</source>
        <translation>クラスター分析を実行</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>Save Means</source>
        <translation>平均を保存</translation>
    </message>
    <message>
        <source>Explained variance</source>
        <translation>説明される分散</translation>
    </message>
    <message>
        <source>Clusters</source>
        <translation>クラスター</translation>
    </message>
    <message>
        <source>Show map</source>
        <translation>マップを表示</translation>
    </message>
    <message>
        <source>Cluster spectra (base name)</source>
        <translation>クラスタースペクトル (基本名)</translation>
    </message>
    <message>
        <source>Cluster %1: %2 points, edge %3 eV</source>
        <translation>クラスター %1: %2 点、エッジ %3 eV</translation>
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
        <translation>eV</translation>
    </message>
    <message>
        <source>keV</source>
        <translation>keV</translation>
    </message>
    <message>
        <source>deg</source>
        <translation>deg</translation>
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
        <translation>8000</translation>
    </message>
    <message>
        <source>Delta</source>
        <translation>刻み</translation>
    </message>
    <message>
        <source>1</source>
        <translation>1</translation>
    </message>
    <message>
        <source>End</source>
        <translation>終了</translation>
    </message>
    <message>
        <source>9000</source>
        <translation>9000</translation>
    </message>
    <message>
        <source>Num</source>
        <translation>点数</translation>
    </message>
    <message>
        <source>1000</source>
        <translation>1000</translation>
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
    <message>
        <source>XMU, XDI Files (*.xmu *.xdi)</source>
        <translation>XMU, XDI ファイル (*.xmu *.xdi)</translation>
    </message>
</context>
<context>
    <name>EdgeLocate</name>
    <message>
        <source>Grid point</source>
        <translation>格子点</translation>
    </message>
    <message>
        <source>Interpolated edge</source>
        <translation>補間したエッジ</translation>
    </message>
    <message>
        <source>Derivative maximum</source>
        <translation>微分の最大</translation>
    </message>
</context>
<context>
    <name>ElemCtrl</name>
    <message>
        <source>Use</source>
        <translation>使用</translation>
    </message>
    <message>
        <source>Target</source>
        <translation>対象</translation>
    </message>
    <message>
        <source>Show</source>
        <translation>表示</translation>
    </message>
    <message>
        <source>Expected Absorption Edge.</source>
        <translation>予想される吸収端。</translation>
    </message>
    <message>
        <source>Start position of the ROI.</source>
        <translation>ROI の開始位置。</translation>
    </message>
    <message>
        <source>End position of the ROI.</source>
        <translation>ROI の終了位置。</translation>
    </message>
    <message>
        <source>Threshold value of the dmut.</source>
        <translation>dmut のしきい値。</translation>
    </message>
    <message>
        <source>When the dmut is less than the Threshold, most of the values (ROI, dmut,...) is set at BG Val.</source>
        <translation>dmut がしきい値より小さいとき、ほとんどの値 (ROI、dmut など) は BG 値になります。</translation>
    </message>
    <message>
        <source>No Neg</source>
        <translation>負なし</translation>
    </message>
    <message>
        <source>When the ROI is negative, the BG value is used instead of the calculated one.</source>
        <translation>ROI が負のとき、計算値の代わりに BG 値を使います。</translation>
    </message>
    <message>
        <source>dmut is calculated as mu(E0+dE) - mu(E0-dE).</source>
        <translation>dmut は mu(E0+dE) - mu(E0-dE) として計算します。</translation>
    </message>
    <message>
        <source>Relative strength of the dmut against the dmut of selecte element as Target.</source>
        <translation>対象に選んだ元素の dmut に対する dmut の相対強度。</translation>
    </message>
    <message>
        <source>Normalized ROI value calculated as ROI / dmut.</source>
        <translation>ROI / dmut として計算した規格化 ROI 値。</translation>
    </message>
    <message>
        <source>Position of the absorption edge, where the mut is ( mu(E0+dE) + mu(E0-dE) ) / 2.</source>
        <translation>mut が ( mu(E0+dE) + mu(E0-dE) ) / 2 となる吸収端の位置。</translation>
    </message>
    <message>
        <source>E0</source>
        <translation>E0</translation>
    </message>
    <message>
        <source>dE</source>
        <translation>dE</translation>
    </message>
    <message>
        <source>Pre/Post dE</source>
        <translation>前/後 dE</translation>
    </message>
    <message>
        <source>Th dmut</source>
        <translation>しきい値 dmut</translation>
    </message>
    <message>
        <source>ROI</source>
        <translation>ROI</translation>
    </message>
    <message>
        <source>Std. Ratio</source>
        <translation>標準比</translation>
    </message>
    <message>
        <source>dmut</source>
        <translation>dmut</translation>
    </message>
    <message>
        <source>Ratio</source>
        <translation>比</translation>
    </message>
    <message>
        <source>ROI Value</source>
        <translation>ROI 値</translation>
    </message>
    <message>
        <source>NROI</source>
        <translation>NROI</translation>
    </message>
    <message>
        <source>E pos.</source>
        <translation>E 位置</translation>
    </message>
</context>
<context>
    <name>FitStatus</name>
    <message>
        <source>the spectrum has no points</source>
        <translation>スペクトルに点がありません</translation>
    </message>
    <message>
        <source>fewer than two references</source>
        <translation>参照が 2 つ未満です</translation>
    </message>
    <message>
        <source>fewer than two usable references on the common energy range</source>
        <translation>共通のエネルギー範囲で使える参照が 2 つ未満です</translation>
    </message>
    <message>
        <source>edge jump not positive or below its noise</source>
        <translation>エッジジャンプが正でないか、ノイズ以下です</translation>
    </message>
    <message>
        <source>fewer than two references in use (&quot;Use&quot; ticked and a file loaded)</source>
        <translation>使用中の参照が 2 つ未満です (「Use」がチェックされ、ファイルが読み込まれたもの)</translation>
    </message>
</context>
<context>
    <name>ImgProc</name>
    <message>
        <source>Image Processor</source>
        <translation>画像処理</translation>
    </message>
    <message>
        <source>Shift X:</source>
        <translation>シフト X:</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>Y:</source>
        <translation>Y:</translation>
    </message>
    <message>
        <source>&lt;</source>
        <translation>&lt;</translation>
    </message>
    <message>
        <source>&gt;</source>
        <translation>&gt;</translation>
    </message>
    <message>
        <source>^</source>
        <translation>^</translation>
    </message>
    <message>
        <source>v</source>
        <translation>v</translation>
    </message>
    <message>
        <source>S.P.</source>
        <translation>S.P.</translation>
    </message>
    <message>
        <source>background-color: rgb(255, 255, 231);</source>
        <translation>background-color: rgb(255, 255, 231);</translation>
    </message>
    <message>
        <source>Comp.</source>
        <translation>比較</translation>
    </message>
    <message>
        <source>Binary</source>
        <translation>二値化</translation>
    </message>
    <message>
        <source>Th.</source>
        <translation>しきい値</translation>
    </message>
    <message>
        <source>Edge Detect</source>
        <translation>エッジ検出</translation>
    </message>
    <message>
        <source>Max</source>
        <translation>最大</translation>
    </message>
    <message>
        <source>65535</source>
        <translation>65535</translation>
    </message>
    <message>
        <source>Min</source>
        <translation>最小</translation>
    </message>
    <message>
        <source>Set Ref.</source>
        <translation>参照に設定</translation>
    </message>
    <message>
        <source>A. Set Shift</source>
        <translation>自動シフト設定</translation>
    </message>
    <message>
        <source>A. A. Shift</source>
        <translation>全自動シフト</translation>
    </message>
    <message>
        <source>Auto Shift</source>
        <translation>自動シフト</translation>
    </message>
    <message>
        <source>Set Shift</source>
        <translation>シフト設定</translation>
    </message>
    <message>
        <source>Clear All Shifts</source>
        <translation>全シフトを消去</translation>
    </message>
</context>
<context>
    <name>LCFReference</name>
    <message>
        <source>Ref %1 keeps its reference: %2 is no spectrum of two points or more</source>
        <translation>参照 %1 は元の参照のままです: %2 は 2 点以上のスペクトルではありません</translation>
    </message>
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
        <translation>  dE [eV]</translation>
    </message>
    <message>
        <source>MidE</source>
        <translation>MidE</translation>
    </message>
    <message>
        <source>dMut</source>
        <translation>dMut</translation>
    </message>
    <message>
        <source>[%]</source>
        <translation>[%]</translation>
    </message>
    <message>
        <source>Energy shift of this reference in eV: at sample energy E the fit reads the reference at E + dE</source>
        <translation>この参照のエネルギーシフト (eV): 試料のエネルギー E でフィットは参照を E + dE で読みます</translation>
    </message>
</context>
<context>
    <name>LcfRun</name>
    <message>
        <source>LCF 2D analysis not started: no image loaded</source>
        <translation>LCF 2D 解析を開始しません: 画像が読み込まれていません</translation>
    </message>
    <message>
        <source>LCF 2D analysis not started: the area lies outside the image</source>
        <translation>LCF 2D 解析を開始しません: 領域が画像の外にあります</translation>
    </message>
    <message>
        <source>LCF 2D analysis not started: fewer than two usable references</source>
        <translation>LCF 2D 解析を開始しません: 使える参照が 2 つ未満です</translation>
    </message>
    <message>
        <source>LCF 2D analysis not started: %1</source>
        <translation>LCF 2D 解析を開始しません: %1</translation>
    </message>
    <message>
        <source>LCF 2D analysis: points not fitted (NaN in the maps): %1</source>
        <translation>LCF 2D 解析: フィットしなかった点 (マップでは NaN): %1</translation>
    </message>
</context>
<context>
    <name>MapsRun</name>
    <message>
        <source>Residual absorption analysis</source>
        <translation>残留吸収解析</translation>
    </message>
    <message>
        <source>%1: points not fitted (NaN in the maps): %2 (%3)</source>
        <translation>%1: 解析しなかった点 (マップでは NaN): %2 (%3)</translation>
    </message>
</context>
<context>
    <name>Refusal</name>
    <message>
        <source>Picture not drawn: the file holds %1 of the %2 x %3 rows its header announces : %4</source>
        <translation>画像を描きません: ファイルにはヘッダーが示す %2 x %3 の行のうち %1 行しかありません : %4</translation>
    </message>
    <message>
        <source>no image loaded</source>
        <translation>画像が読み込まれていません</translation>
    </message>
    <message>
        <source>the number of components must be at least 1</source>
        <translation>成分数は 1 以上にしてください</translation>
    </message>
    <message>
        <source>the number of clusters must be at least 2</source>
        <translation>クラスター数は 2 以上にしてください</translation>
    </message>
    <message>
        <source>%1 clusters but only %2 points in the area</source>
        <translation>クラスター数 %1 に対し、領域の点は %2 しかありません</translation>
    </message>
    <message>
        <source>fewer than two points in the area</source>
        <translation>領域の点が 2 つ未満です</translation>
    </message>
    <message>
        <source>fewer than two energies in the fitting range</source>
        <translation>フィッティング範囲のエネルギー点が 2 つ未満です</translation>
    </message>
    <message>
        <source>the energy-shift map (%1 x %2, measured on %3 %4 %5 %6) does not cover the area (%7 %8 %9 %10 of %11 x %12): calibrate again, load a matching map or clear it</source>
        <translation>エネルギーシフトマップ (%1 x %2、測定範囲 %3 %4 %5 %6) が領域 (%11 x %12 のうち %7 %8 %9 %10) を覆っていません: 較正し直すか、合うマップを読み込むか、マップをクリアしてください</translation>
    </message>
    <message>
        <source>Element 2D analysis not started: no image loaded</source>
        <translation>元素 2D 解析を開始しません: 画像が読み込まれていません</translation>
    </message>
    <message>
        <source>Element 2D analysis not started: no edges</source>
        <translation>元素 2D 解析を開始しません: 吸収端がありません</translation>
    </message>
    <message>
        <source>Residual absorption analysis not started: no image loaded</source>
        <translation>残留吸収解析を開始しません: 画像が読み込まれていません</translation>
    </message>
    <message>
        <source>Sum Up: no image ranges</source>
        <translation>積算: 画像範囲がありません</translation>
    </message>
    <message>
        <source>Sum Up: no image loaded</source>
        <translation>積算: 画像が読み込まれていません</translation>
    </message>
    <message>
        <source>Calibration not started: no image loaded</source>
        <translation>較正を開始しません: 画像が読み込まれていません</translation>
    </message>
    <message>
        <source>Calibration not started: no standard (load a standard spectrum or type its edge energy)</source>
        <translation>較正を開始しません: 標準試料がありません（標準スペクトルを読み込むか、そのエッジエネルギーを入力してください）</translation>
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
        <translation>0</translation>
    </message>
    <message>
        <source>  Max</source>
        <translation>  最大</translation>
    </message>
    <message>
        <source>10</source>
        <translation>10</translation>
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
    <message>
        <source>Save all maps as HDF5</source>
        <translation>全マップを HDF5 で保存</translation>
    </message>
    <message>
        <source>One .h5 file with every map that holds data: one dataset per map under /maps, its name and area as attributes.</source>
        <translation>データのある全マップを 1 つの .h5 ファイルに: /maps の下にマップごとに 1 データセット、名前と範囲は属性です。</translation>
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
        <translation>&lt;</translation>
    </message>
    <message>
        <source>&gt;</source>
        <translation>&gt;</translation>
    </message>
    <message>
        <source>Files</source>
        <translation>ファイル数</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
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
    <name>Session</name>
    <message>
        <source>Energy map not loaded: %1 : %2</source>
        <translation>エネルギーマップを読み込みません: %1 : %2</translation>
    </message>
</context>
<context>
    <name>SumUpCtrl</name>
    <message>
        <source>Add</source>
        <translation>追加</translation>
    </message>
    <message>
        <source>Del</source>
        <translation>削除</translation>
    </message>
    <message>
        <source>Sum Up Img No. From:</source>
        <translation>積算する画像番号 開始:</translation>
    </message>
    <message>
        <source>To:</source>
        <translation>終了:</translation>
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
        <translation>E [eV]</translation>
    </message>
    <message>
        <source>mu</source>
        <translation>mu</translation>
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
    <message>
        <source>raw intensity (right axis)</source>
        <translation>生の強度 (右軸)</translation>
    </message>
    <message>
        <source>|F(k)| over frequency index k (top axis)</source>
        <translation>周波数番号 k に対する |F(k)| (上の軸)</translation>
    </message>
</context>
</TS>
