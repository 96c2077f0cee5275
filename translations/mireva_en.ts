<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>Mireva</name>
    <message>
        <source>
検索結果： </source>
        <translation>
Found: </translation>
    </message>
    <message>
        <source> -&gt; キャンセル</source>
        <translation> -&gt; Cancel</translation>
    </message>
    <message>
        <source> への名称変更に失敗しました  </source>
        <translation>: renaming failed.</translation>
    </message>
    <message>
        <source> を検索中･･･</source>
        <translation>: searching...</translation>
    </message>
    <message>
        <source> を読込中･･･</source>
        <translation>: reading...</translation>
    </message>
    <message>
        <source> バイト</source>
        <translation> bytes</translation>
    </message>
    <message>
        <source> バイト (</source>
        <translation> bytes (</translation>
    </message>
    <message>
        <source> ピクセル</source>
        <translation> pixels</translation>
    </message>
    <message>
        <source> ファイル</source>
        <translation> files</translation>
    </message>
    <message>
        <source> 件</source>
        <translation> items</translation>
    </message>
    <message>
        <source> 個のオブジェクトを選択</source>
        <translation> objects selected</translation>
    </message>
    <message>
        <source>' の参照先が見つかりません  </source>
        <translation>': the target of the link cannot be found.</translation>
    </message>
    <message>
        <source>' は大きすぎます  </source>
        <translation>' is too large.</translation>
    </message>
    <message>
        <source>' は既に登録されています  </source>
        <translation>' is already registered.</translation>
    </message>
    <message>
        <source>' は読み込めませんでした  </source>
        <translation>' could not be read.</translation>
    </message>
    <message>
        <source>' は通常のファイルではありません  </source>
        <translation>' is not a regular file.</translation>
    </message>
    <message>
        <source>' は開けませんでした  </source>
        <translation>' could not be opened.</translation>
    </message>
    <message>
        <source>' を作成しました</source>
        <translation>' was created.</translation>
    </message>
    <message>
        <source>' を安全に使えません  </source>
        <translation>' cannot be used safely.</translation>
    </message>
    <message>
        <source>' を挿入してください  </source>
        <translation>'.</translation>
    </message>
    <message>
        <source>' 内の存在しない項目を削除してもよろしいですか？  </source>
        <translation>': remove the items that no longer exist?</translation>
    </message>
    <message>
        <source>'は展開できませんでした  </source>
        <translation>' could not be extracted.</translation>
    </message>
    <message>
        <source>'は読み込めませんでした  </source>
        <translation>' could not be read.</translation>
    </message>
    <message>
        <source>'は途中までしか読み込めませんでした  </source>
        <translation>' could be read only in part.</translation>
    </message>
    <message>
        <source>24ビットの画像ではありません</source>
        <translation>The picture is not a 24-bit picture</translation>
    </message>
    <message>
        <source>2枚の倍率を等しくする</source>
        <translation>Equal Scale for Two Pages</translation>
    </message>
    <message>
        <source>2枚の倍率を等しくする(&amp;R)</source>
        <translation>Equal Scale for Two Pages (&amp;R)</translation>
    </message>
    <message>
        <source>2枚の結合部を中心に固定</source>
        <translation>Keep the Spine Centred</translation>
    </message>
    <message>
        <source>2枚の結合部を中心に固定(&amp;C)</source>
        <translation>Keep the Spine &amp;Centred</translation>
    </message>
    <message>
        <source>2枚の高さを揃える</source>
        <translation>Equal Heights for Two Pages</translation>
    </message>
    <message>
        <source>2枚の高さを揃える(&amp;E)</source>
        <translation>&amp;Equal Heights for Two Pages</translation>
    </message>
    <message>
        <source>3.5 インチ フロッピー ディスク</source>
        <translation>3.5-inch floppy disk</translation>
    </message>
    <message>
        <source>5.25 インチ フロッピー ディスク</source>
        <translation>5.25-inch floppy disk</translation>
    </message>
    <message>
        <source>8ビットの画像ではありません</source>
        <translation>The picture is not an 8-bit picture</translation>
    </message>
    <message>
        <source>: LoadColumnDetails への呼び出しがありません</source>
        <translation>: LoadColumnDetails was not called</translation>
    </message>
    <message>
        <source>&lt;- 削除(&amp;D)</source>
        <translation>&lt;- Remove (&amp;D)</translation>
    </message>
    <message>
        <source>&lt;- 削除(&amp;E)</source>
        <translation>&lt;- R&amp;emove</translation>
    </message>
    <message>
        <source>&lt;カテゴリ&gt;	</source>
        <translation>&lt;Categories&gt;	</translation>
    </message>
    <message>
        <source>&lt;フォルダ&gt;	</source>
        <translation>&lt;Folder&gt;	</translation>
    </message>
    <message>
        <source>&lt;メディア&gt;	</source>
        <translation>&lt;Media&gt;	</translation>
    </message>
    <message>
        <source>&lt;本棚&gt;	</source>
        <translation>&lt;Shelves&gt;	</translation>
    </message>
    <message>
        <source>CSVファイル (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <source>CSV形式で出力</source>
        <translation>Export as CSV</translation>
    </message>
    <message>
        <source>CSV形式で出力(&amp;E)...</source>
        <translation>&amp;Export as CSV...</translation>
    </message>
    <message>
        <source>Ctrl＋選択</source>
        <translation>Ctrl + Select</translation>
    </message>
    <message>
        <source>JPEG に変換できません: </source>
        <translation>Cannot convert to JPEG: </translation>
    </message>
    <message>
        <source>JPEG データが壊れています: </source>
        <translation>The JPEG data is damaged: </translation>
    </message>
    <message>
        <source>Ownerが正しくありません</source>
        <translation>The owner is not valid</translation>
    </message>
    <message>
        <source>RAMディスク</source>
        <translation>RAM disk</translation>
    </message>
    <message>
        <source>Shift+Ctrl+選択</source>
        <translation>Shift+Ctrl+Select</translation>
    </message>
    <message>
        <source>Shift＋選択</source>
        <translation>Shift + Select</translation>
    </message>
    <message>
        <source>TBufferStream.Create: バッファサイズが不正です</source>
        <translation>TBufferStream.Create: the buffer size is not valid</translation>
    </message>
    <message>
        <source>TBufferStream.Read: Count が負です</source>
        <translation>TBufferStream.Read: Count is negative</translation>
    </message>
    <message>
        <source>TBufferStream.Write: Count が負です</source>
        <translation>TBufferStream.Write: Count is negative</translation>
    </message>
    <message>
        <source>TBufferStream: 書き込みが途中で失敗しました</source>
        <translation>TBufferStream: writing failed part way</translation>
    </message>
    <message>
        <source>WriteString: 文字列が長すぎます</source>
        <translation>WriteString: the text is too long</translation>
    </message>
    <message>
        <source>※これらのコマンドはファイル一覧での項目選択時のみ有効です</source>
        <translation>* These commands work only when items are selected in the file list.</translation>
    </message>
    <message>
        <source>※これらのコマンドは画像表示部でのマウス操作のみ有効です</source>
        <translation>* These commands work only with the mouse in the picture view.</translation>
    </message>
    <message>
        <source>※これらのショートカットは画像表示部にフォーカスがある場合のみ有効です</source>
        <translation>* These shortcuts work only while the picture view has the focus.</translation>
    </message>
    <message>
        <source>※区切り位置前後の空白は除去されます</source>
        <translation>* Blanks around the dividers are removed.</translation>
    </message>
    <message>
        <source>このデスクトップでは他のアプリケーションのウィンドウを選べません  </source>
        <translation>This desktop does not let us pick another application's window.</translation>
    </message>
    <message>
        <source>この名前は設定の名前に使えません  </source>
        <translation>This name cannot be used for settings.</translation>
    </message>
    <message>
        <source>この形式のビットマップには対応していません</source>
        <translation>This kind of bitmap is not supported</translation>
    </message>
    <message>
        <source>しおりを保存</source>
        <translation>Save Bookmark</translation>
    </message>
    <message>
        <source>しおりを保存(&amp;U)</source>
        <translation>Save Bookmark (&amp;U)</translation>
    </message>
    <message>
        <source>しおりを開く</source>
        <translation>Open Bookmarks</translation>
    </message>
    <message>
        <source>しおりを開く(&amp;S)...</source>
        <translation>Open Bookmark&amp;s...</translation>
    </message>
    <message>
        <source>しきい値(&amp;T)：</source>
        <translation>&amp;Threshold:</translation>
    </message>
    <message>
        <source>すべて</source>
        <translation>All</translation>
    </message>
    <message>
        <source>すべてのファイル (*)</source>
        <translation>All files (*)</translation>
    </message>
    <message>
        <source>すべてのメディア</source>
        <translation>All Media</translation>
    </message>
    <message>
        <source>すべての本棚</source>
        <translation>All Shelves</translation>
    </message>
    <message>
        <source>すべてスキップ(&amp;K)</source>
        <translation>S&amp;kip All</translation>
    </message>
    <message>
        <source>すべて置き換え(&amp;A)</source>
        <translation>Replace &amp;All</translation>
    </message>
    <message>
        <source>すべて選択</source>
        <translation>Select All</translation>
    </message>
    <message>
        <source>すべて選択(&amp;A)</source>
        <translation>Select &amp;All</translation>
    </message>
    <message>
        <source>その他</source>
        <translation>Other</translation>
    </message>
    <message>
        <source>その他(&amp;T)</source>
        <translation>O&amp;ther</translation>
    </message>
    <message>
        <source>なし</source>
        <translation>None</translation>
    </message>
    <message>
        <source>なし(&amp;N)</source>
        <translation>&amp;None</translation>
    </message>
    <message>
        <source>なし(&amp;O)</source>
        <translation>N&amp;one</translation>
    </message>
    <message>
        <source>に囲まれた語句(&amp;W)</source>
        <translation>&amp;Words Between</translation>
    </message>
    <message>
        <source>ひとつ前のファイル</source>
        <translation>Previous Single File</translation>
    </message>
    <message>
        <source>ひとつ前のファイル(&amp;R)</source>
        <translation>P&amp;revious Single File</translation>
    </message>
    <message>
        <source>ひとつ右へ</source>
        <translation>One to the Right</translation>
    </message>
    <message>
        <source>ひとつ左へ</source>
        <translation>One to the Left</translation>
    </message>
    <message>
        <source>ひとつ次/前のファイル</source>
        <translation>Next/Previous Single File</translation>
    </message>
    <message>
        <source>ひとつ次のファイル</source>
        <translation>Next Single File</translation>
    </message>
    <message>
        <source>ひとつ次のファイル(&amp;X)</source>
        <translation>Ne&amp;xt Single File</translation>
    </message>
    <message>
        <source>ぼかし（平均）</source>
        <translation>Blur (Average)</translation>
    </message>
    <message>
        <source>アイコン</source>
        <translation>Icon </translation>
    </message>
    <message>
        <source>アイコン(&amp;I):</source>
        <translation>&amp;Icon:</translation>
    </message>
    <message>
        <source>アイコン(&amp;I)：</source>
        <translation>&amp;Icon:</translation>
    </message>
    <message>
        <source>アクセス日時</source>
        <translation>Last Access</translation>
    </message>
    <message>
        <source>アドレス </source>
        <translation>Address </translation>
    </message>
    <message>
        <source>アドレスバー</source>
        <translation>Address Bar</translation>
    </message>
    <message>
        <source>アドレスバー(&amp;A)</source>
        <translation>&amp;Address Bar</translation>
    </message>
    <message>
        <source>アドレスバー表示</source>
        <translation>Show Address Bar</translation>
    </message>
    <message>
        <source>アプリケーション(*)</source>
        <translation>Applications (*)</translation>
    </message>
    <message>
        <source>アプリケーションから開く(&amp;A)</source>
        <translation>Open with &amp;Application</translation>
    </message>
    <message>
        <source>アプリケーションの登録</source>
        <translation>Register Applications</translation>
    </message>
    <message>
        <source>アプリケーションの登録(&amp;A)...</source>
        <translation>Register &amp;Applications...</translation>
    </message>
    <message>
        <source>アプリケーションの選択</source>
        <translation>Select Application</translation>
    </message>
    <message>
        <source>アプリケーションの選択(&amp;S)...</source>
        <translation>&amp;Select Application...</translation>
    </message>
    <message>
        <source>アプリケーション情報</source>
        <translation>Application</translation>
    </message>
    <message>
        <source>アンシャープマスク</source>
        <translation>Unsharp Mask</translation>
    </message>
    <message>
        <source>イメージ</source>
        <translation>Image</translation>
    </message>
    <message>
        <source>イメージ(&amp;I)</source>
        <translation>&amp;Image</translation>
    </message>
    <message>
        <source>イメージバー(&amp;I)</source>
        <translation>&amp;Image Bar</translation>
    </message>
    <message>
        <source>イメージバー表示</source>
        <translation>Show Image Bar</translation>
    </message>
    <message>
        <source>ウィンドウ(&amp;W)：</source>
        <translation>&amp;Window:</translation>
    </message>
    <message>
        <source>ウィンドウに合わせる</source>
        <translation>Fit to Window</translation>
    </message>
    <message>
        <source>ウィンドウに合わせる(&amp;W)</source>
        <translation>Fit to &amp;Window</translation>
    </message>
    <message>
        <source>ウィンドウに合わせる－全体を表示</source>
        <translation>Fit to Window - Show All</translation>
    </message>
    <message>
        <source>ウィンドウに合わせる－幅に合わせる</source>
        <translation>Fit to Window - Fit Width</translation>
    </message>
    <message>
        <source>ウィンドウに合わせる－高さに合わせる</source>
        <translation>Fit to Window - Fit Height</translation>
    </message>
    <message>
        <source>エクスプローラで開く</source>
        <translation>Open in File Manager</translation>
    </message>
    <message>
        <source>エクスプローラで開く(&amp;L)</source>
        <translation>Open in File Manager (&amp;L)</translation>
    </message>
    <message>
        <source>オプション</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>オプション(&amp;O)</source>
        <translation>&amp;Options</translation>
    </message>
    <message>
        <source>カテゴリ</source>
        <translation>Categories</translation>
    </message>
    <message>
        <source>カテゴリ(&amp;C)</source>
        <translation>&amp;Categories</translation>
    </message>
    <message>
        <source>カテゴリがありません</source>
        <translation>There is no category</translation>
    </message>
    <message>
        <source>カテゴリのファイルが壊れています: </source>
        <translation>The category file is damaged: </translation>
    </message>
    <message>
        <source>カテゴリの追加</source>
        <translation>Add Category</translation>
    </message>
    <message>
        <source>カテゴリを読み込めません: </source>
        <translation>The categories cannot be read: </translation>
    </message>
    <message>
        <source>カーソル位置の指定(&amp;S)</source>
        <translation>By Pointer Position (&amp;S)</translation>
    </message>
    <message>
        <source>ガンマ(&amp;G)：</source>
        <translation>&amp;Gamma:</translation>
    </message>
    <message>
        <source>ガンマ補正</source>
        <translation>Gamma</translation>
    </message>
    <message>
        <source>キャッシュを再起動後も維持(&amp;Y)</source>
        <translation>Keep the Cache After a Restart (&amp;Y)</translation>
    </message>
    <message>
        <source>キャッシュ：</source>
        <translation>Cache: </translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>キーカスタマイズ</source>
        <translation>Customize Keys</translation>
    </message>
    <message>
        <source>キーカスタマイズ(&amp;K)...</source>
        <translation>Customize &amp;Keys...</translation>
    </message>
    <message>
        <source>クリア(&amp;C)</source>
        <translation>&amp;Clear</translation>
    </message>
    <message>
        <source>クリップボードにコピー</source>
        <translation>Copy to Clipboard</translation>
    </message>
    <message>
        <source>クリップボードにコピー(&amp;W)</source>
        <translation>Copy to Clipboard (&amp;W)</translation>
    </message>
    <message>
        <source>グリッドの表示</source>
        <translation>Show Grid</translation>
    </message>
    <message>
        <source>グリッドの表示(&amp;G)</source>
        <translation>Show &amp;Grid</translation>
    </message>
    <message>
        <source>グリッドの設定(&amp;D)</source>
        <translation>Gri&amp;d Settings</translation>
    </message>
    <message>
        <source>グリッド間隔の拡大</source>
        <translation>Widen Grid Spacing</translation>
    </message>
    <message>
        <source>グリッド間隔の縮小</source>
        <translation>Narrow Grid Spacing</translation>
    </message>
    <message>
        <source>グレースケール化</source>
        <translation>Greyscale</translation>
    </message>
    <message>
        <source>コピー</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>コピー(&amp;C)</source>
        <translation>&amp;Copy</translation>
    </message>
    <message>
        <source>コメント</source>
        <translation>Comment</translation>
    </message>
    <message>
        <source>コメント(&amp;C):</source>
        <translation>&amp;Comment:</translation>
    </message>
    <message>
        <source>コメント(&amp;C)：</source>
        <translation>&amp;Comment:</translation>
    </message>
    <message>
        <source>コメントは 100 文字以内で入力してください  </source>
        <translation>Enter a comment of at most 100 characters.</translation>
    </message>
    <message>
        <source>コントラスト(&amp;C)：</source>
        <translation>&amp;Contrast:</translation>
    </message>
    <message>
        <source>コントラスト調整</source>
        <translation>Contrast</translation>
    </message>
    <message>
        <source>コンピュータ</source>
        <translation>Computer</translation>
    </message>
    <message>
        <source>サイズ</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>サイズ:</source>
        <translation>Size:</translation>
    </message>
    <message>
        <source>サイズ: </source>
        <translation>Size: </translation>
    </message>
    <message>
        <source>サイズの拡大(&amp;E)</source>
        <translation>&amp;Enlarge</translation>
    </message>
    <message>
        <source>サイズの指定</source>
        <translation>Set Size</translation>
    </message>
    <message>
        <source>サイズの指定(&amp;Z)...</source>
        <translation>Set Si&amp;ze...</translation>
    </message>
    <message>
        <source>サイズの縮小(&amp;S)</source>
        <translation>&amp;Shrink</translation>
    </message>
    <message>
        <source>サイズをKB単位で表記する(&amp;K)</source>
        <translation>Sizes in &amp;KB</translation>
    </message>
    <message>
        <source>サイズ指定(&amp;Z)</source>
        <translation>Si&amp;ze</translation>
    </message>
    <message>
        <source>サブフォルダも検索する(&amp;L)</source>
        <translation>Search Subfolders Too (&amp;L)</translation>
    </message>
    <message>
        <source>サブフォルダ内も出力する(&amp;B)</source>
        <translation>Include Su&amp;bfolders</translation>
    </message>
    <message>
        <source>サムネイル(&amp;T)</source>
        <translation>&amp;Thumbnails</translation>
    </message>
    <message>
        <source>サムネイルのデータが壊れています</source>
        <translation>The thumbnail data is damaged</translation>
    </message>
    <message>
        <source>サムネイルのデータが大きすぎます</source>
        <translation>The thumbnail data is too large</translation>
    </message>
    <message>
        <source>サムネイルの一括読込</source>
        <translation>Load All Thumbnails</translation>
    </message>
    <message>
        <source>サムネイルの一括読込(&amp;B)</source>
        <translation>Load All Thumbnails (&amp;B)</translation>
    </message>
    <message>
        <source>サムネイルの一覧が壊れています</source>
        <translation>The thumbnail index is damaged</translation>
    </message>
    <message>
        <source>サムネイルの管理</source>
        <translation>Manage Thumbnails</translation>
    </message>
    <message>
        <source>サムネイルの管理(&amp;T)...</source>
        <translation>Manage &amp;Thumbnails...</translation>
    </message>
    <message>
        <source>サムネイルを更新しています･･･</source>
        <translation>Updating thumbnails...</translation>
    </message>
    <message>
        <source>サムネイル詳細(&amp;N)</source>
        <translation>Thumbnail Details (&amp;N)</translation>
    </message>
    <message>
        <source>シャープ</source>
        <translation>Sharpen</translation>
    </message>
    <message>
        <source>シリアル</source>
        <translation>Serial</translation>
    </message>
    <message>
        <source>シリアル番号:</source>
        <translation>Serial number:</translation>
    </message>
    <message>
        <source>シークバー(&amp;S)</source>
        <translation>&amp;Seek Bar</translation>
    </message>
    <message>
        <source>シークバー表示</source>
        <translation>Show Seek Bar</translation>
    </message>
    <message>
        <source>ジャンプ</source>
        <translation>Jump</translation>
    </message>
    <message>
        <source>ジャンプ(&amp;J)</source>
        <translation>&amp;Jump</translation>
    </message>
    <message>
        <source>スキップ(&amp;S)</source>
        <translation>&amp;Skip</translation>
    </message>
    <message>
        <source>スクロール</source>
        <translation>Scroll</translation>
    </message>
    <message>
        <source>スクロールを同期(&amp;S)</source>
        <translation>&amp;Synchronise Scrolling</translation>
    </message>
    <message>
        <source>スクロール端でファイルを移動する</source>
        <translation>Move to Another File at the Scroll End</translation>
    </message>
    <message>
        <source>スクロール端でファイル移動する際のあそび(&amp;M)</source>
        <translation>Tolerance at the Scroll End Before Moving to Another File (&amp;M)</translation>
    </message>
    <message>
        <source>スクロール（逆方向）</source>
        <translation>Scroll (Reverse)</translation>
    </message>
    <message>
        <source>ステータスバー(&amp;T)</source>
        <translation>Status Bar (&amp;T)</translation>
    </message>
    <message>
        <source>ステータスバー表示</source>
        <translation>Show Status Bar</translation>
    </message>
    <message>
        <source>スライドショー</source>
        <translation>Slide Show</translation>
    </message>
    <message>
        <source>スライドショー(&amp;S)</source>
        <translation>&amp;Slide Show</translation>
    </message>
    <message>
        <source>スライドショーを開始して開く</source>
        <translation>Open as Slide Show</translation>
    </message>
    <message>
        <source>スライドショーを開始して開く(&amp;L)</source>
        <translation>Open as S&amp;lide Show</translation>
    </message>
    <message>
        <source>スライドショー動作(&amp;C)</source>
        <translation>Slide Show Step (&amp;C)</translation>
    </message>
    <message>
        <source>スライドショー動作－ひとつ次のファイル</source>
        <translation>Slide Show Step - Next Single File</translation>
    </message>
    <message>
        <source>スライドショー動作－ジャンプ</source>
        <translation>Slide Show Step - Jump</translation>
    </message>
    <message>
        <source>スライドショー動作－ランダム移動</source>
        <translation>Slide Show Step - Random</translation>
    </message>
    <message>
        <source>スライドショー動作－大スクロール下</source>
        <translation>Slide Show Step - Large Scroll Down</translation>
    </message>
    <message>
        <source>スライドショー動作－大スクロール左/右</source>
        <translation>Slide Show Step - Large Scroll Left/Right</translation>
    </message>
    <message>
        <source>スライドショー動作－小スクロール下</source>
        <translation>Slide Show Step - Small Scroll Down</translation>
    </message>
    <message>
        <source>スライドショー動作－小スクロール左/右</source>
        <translation>Slide Show Step - Small Scroll Left/Right</translation>
    </message>
    <message>
        <source>スライドショー動作－次のファイル</source>
        <translation>Slide Show Step - Next File</translation>
    </message>
    <message>
        <source>ソート中･･･</source>
        <translation>Sorting...</translation>
    </message>
    <message>
        <source>タスクトレイ収納</source>
        <translation>Minimize to Tray</translation>
    </message>
    <message>
        <source>タスクトレイ収納(&amp;K)</source>
        <translation>Minimize to Tray (&amp;K)</translation>
    </message>
    <message>
        <source>ツリー(&amp;T)</source>
        <translation>&amp;Tree</translation>
    </message>
    <message>
        <source>ツリー表示</source>
        <translation>Show Tree</translation>
    </message>
    <message>
        <source>テキストファイル (*.txt)</source>
        <translation>Text files (*.txt)</translation>
    </message>
    <message>
        <source>テキストファイル(*.txt)</source>
        <translation>Text files (*.txt)</translation>
    </message>
    <message>
        <source>データが壊れています</source>
        <translation>The data is damaged</translation>
    </message>
    <message>
        <source>トリミング</source>
        <translation>Crop</translation>
    </message>
    <message>
        <source>トーンカーブ</source>
        <translation>Tone Curve</translation>
    </message>
    <message>
        <source>ドライブの種類:</source>
        <translation>Drive type:</translation>
    </message>
    <message>
        <source>ドライブ：</source>
        <translation>Drive: </translation>
    </message>
    <message>
        <source>ドラッグ</source>
        <translation>Drag</translation>
    </message>
    <message>
        <source>ドラッグによるスクロール</source>
        <translation>Scrolling by Dragging</translation>
    </message>
    <message>
        <source>ネットワークドライブ</source>
        <translation>Network drive</translation>
    </message>
    <message>
        <source>バージョン情報(&amp;A)</source>
        <translation>&amp;About</translation>
    </message>
    <message>
        <source>パス</source>
        <translation>Path</translation>
    </message>
    <message>
        <source>パスが存在しないしおりを削除してもよろしいですか？  </source>
        <translation>Delete the bookmarks whose paths no longer exist?</translation>
    </message>
    <message>
        <source>パスをコピー</source>
        <translation>Copy Path</translation>
    </message>
    <message>
        <source>パスをコピー(&amp;V)</source>
        <translation>Copy Path (&amp;V)</translation>
    </message>
    <message>
        <source>パス設定エラー : "</source>
        <translation>Path error: "</translation>
    </message>
    <message>
        <source>パス（相対パス）</source>
        <translation>Path (relative)</translation>
    </message>
    <message>
        <source>パス（絶対パス）</source>
        <translation>Path (absolute)</translation>
    </message>
    <message>
        <source>パラメータ(&amp;P)：</source>
        <translation>&amp;Parameters:</translation>
    </message>
    <message>
        <source>ビットマップのデータが途中で終わっています</source>
        <translation>The bitmap data ends too early</translation>
    </message>
    <message>
        <source>ビットマップのヘッダが壊れています</source>
        <translation>The bitmap header is damaged</translation>
    </message>
    <message>
        <source>ビットマップの圧縮データが壊れています</source>
        <translation>The compressed bitmap data is damaged</translation>
    </message>
    <message>
        <source>ファイル</source>
        <translation>File</translation>
    </message>
    <message>
        <source>ファイル(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>ファイルのサイズ</source>
        <translation>File Size</translation>
    </message>
    <message>
        <source>ファイルの並び順</source>
        <translation>Sort Files</translation>
    </message>
    <message>
        <source>ファイルの解凍に失敗しました  </source>
        <translation>The file could not be extracted.</translation>
    </message>
    <message>
        <source>ファイルの選択</source>
        <translation>Choose File</translation>
    </message>
    <message>
        <source>ファイルは検索対象にしない(&amp;R)</source>
        <translation>Do Not Find Files (&amp;R)</translation>
    </message>
    <message>
        <source>ファイルは除外する(&amp;F)</source>
        <translation>Leave Out &amp;Files</translation>
    </message>
    <message>
        <source>ファイルをすべて選択</source>
        <translation>Select All Files</translation>
    </message>
    <message>
        <source>ファイルをすべて選択(&amp;F)</source>
        <translation>Select All &amp;Files</translation>
    </message>
    <message>
        <source>ファイルシステム</source>
        <translation>File System</translation>
    </message>
    <message>
        <source>ファイルシステム:</source>
        <translation>File system:</translation>
    </message>
    <message>
        <source>ファイルマスク</source>
        <translation>File Mask</translation>
    </message>
    <message>
        <source>ファイルマスク(&amp;M)...</source>
        <translation>File &amp;Mask...</translation>
    </message>
    <message>
        <source>ファイル一覧</source>
        <translation>File List</translation>
    </message>
    <message>
        <source>ファイル名</source>
        <translation>File Name</translation>
    </message>
    <message>
        <source>ファイル名(&amp;F)：</source>
        <translation>&amp;File name:</translation>
    </message>
    <message>
        <source>ファイル名(&amp;N)</source>
        <translation>File &amp;Name</translation>
    </message>
    <message>
        <source>ファイル名で分類</source>
        <translation>Group by File Name</translation>
    </message>
    <message>
        <source>ファイル名で分類(&amp;F)</source>
        <translation>Group by &amp;File Name</translation>
    </message>
    <message>
        <source>ファイル名の分割(&amp;D)：</source>
        <translation>File name &amp;divisions:</translation>
    </message>
    <message>
        <source>ファイル数</source>
        <translation>Files</translation>
    </message>
    <message>
        <source>ファイル表示</source>
        <translation>Show Files</translation>
    </message>
    <message>
        <source>ファイル表示位置の切り替え</source>
        <translation>Switch File List Position</translation>
    </message>
    <message>
        <source>ファイル表示位置の切り替え(&amp;L)</source>
        <translation>Switch File &amp;List Position</translation>
    </message>
    <message>
        <source>ファイル表示形式</source>
        <translation>File View</translation>
    </message>
    <message>
        <source>ファイル表示形式(&amp;V)</source>
        <translation>File &amp;View</translation>
    </message>
    <message>
        <source>ファイル表示形式－サムネイル</source>
        <translation>File View - Thumbnails</translation>
    </message>
    <message>
        <source>ファイル表示形式－サムネイル詳細</source>
        <translation>File View - Thumbnail Details</translation>
    </message>
    <message>
        <source>ファイル表示形式－プレビュー</source>
        <translation>File View - Thumbnails</translation>
    </message>
    <message>
        <source>ファイル表示形式－プレビュー詳細</source>
        <translation>File View - Thumbnail Details</translation>
    </message>
    <message>
        <source>ファイル表示形式－一覧</source>
        <translation>File View - List</translation>
    </message>
    <message>
        <source>フィルタ(&amp;F)</source>
        <translation>&amp;Filter</translation>
    </message>
    <message>
        <source>フィルタの設定</source>
        <translation>Filter Settings</translation>
    </message>
    <message>
        <source>フィルタの設定(&amp;S)...</source>
        <translation>Filter &amp;Settings...</translation>
    </message>
    <message>
        <source>フィルタ－1</source>
        <translation>Filter 1</translation>
    </message>
    <message>
        <source>フィルタ－10</source>
        <translation>Filter 10</translation>
    </message>
    <message>
        <source>フィルタ－2</source>
        <translation>Filter 2</translation>
    </message>
    <message>
        <source>フィルタ－3</source>
        <translation>Filter 3</translation>
    </message>
    <message>
        <source>フィルタ－4</source>
        <translation>Filter 4</translation>
    </message>
    <message>
        <source>フィルタ－5</source>
        <translation>Filter 5</translation>
    </message>
    <message>
        <source>フィルタ－6</source>
        <translation>Filter 6</translation>
    </message>
    <message>
        <source>フィルタ－7</source>
        <translation>Filter 7</translation>
    </message>
    <message>
        <source>フィルタ－8</source>
        <translation>Filter 8</translation>
    </message>
    <message>
        <source>フィルタ－9</source>
        <translation>Filter 9</translation>
    </message>
    <message>
        <source>フィルタ－なし</source>
        <translation>Filter - None</translation>
    </message>
    <message>
        <source>フォルダ</source>
        <translation>Folder</translation>
    </message>
    <message>
        <source>フォルダ(&amp;F)</source>
        <translation>&amp;Folder</translation>
    </message>
    <message>
        <source>フォルダが作成できませんでした  </source>
        <translation>The folder could not be created.</translation>
    </message>
    <message>
        <source>フォルダの作成</source>
        <translation>New Folder</translation>
    </message>
    <message>
        <source>フォルダの作成(&amp;F)</source>
        <translation>New &amp;Folder</translation>
    </message>
    <message>
        <source>フォルダは検索対象にしない(&amp;K)</source>
        <translation>Do Not Find Folders (&amp;K)</translation>
    </message>
    <message>
        <source>フォルダは除外する(&amp;O)</source>
        <translation>Leave Out F&amp;olders</translation>
    </message>
    <message>
        <source>フォルダへコピー</source>
        <translation>Copy to Folder</translation>
    </message>
    <message>
        <source>フォルダへコピー(&amp;Y)...</source>
        <translation>Cop&amp;y to Folder...</translation>
    </message>
    <message>
        <source>フォルダへ移動</source>
        <translation>Move to Folder</translation>
    </message>
    <message>
        <source>フォルダへ移動(&amp;K)...</source>
        <translation>Move to Folder (&amp;K)...</translation>
    </message>
    <message>
        <source>フォルダを指定してください</source>
        <translation>Choose a folder</translation>
    </message>
    <message>
        <source>フォルダを開く</source>
        <translation>Open Folder</translation>
    </message>
    <message>
        <source>フォルダを開く(&amp;D)...</source>
        <translation>Open Fol&amp;der...</translation>
    </message>
    <message>
        <source>フォルダ名</source>
        <translation>Folder</translation>
    </message>
    <message>
        <source>フォルダ追加</source>
        <translation>Add Folder</translation>
    </message>
    <message>
        <source>フルパスで表示(&amp;F)</source>
        <translation>Show &amp;Full Paths</translation>
    </message>
    <message>
        <source>フルパスを表示(&amp;F)</source>
        <translation>Show &amp;Full Paths</translation>
    </message>
    <message>
        <source>プラグインの設定(&amp;P)...</source>
        <translation>&amp;Plug-in Settings...</translation>
    </message>
    <message>
        <source>プラグイン設定</source>
        <translation>Plug-in Settings</translation>
    </message>
    <message>
        <source>プレビュー(&amp;P)</source>
        <translation>&amp;Preview</translation>
    </message>
    <message>
        <source>プロパティ</source>
        <translation>Properties</translation>
    </message>
    <message>
        <source>プロパティ(&amp;R)</source>
        <translation>P&amp;roperties</translation>
    </message>
    <message>
        <source>ヘルプ(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>ホイールクリック</source>
        <translation>Wheel click</translation>
    </message>
    <message>
        <source>ホイールダブルクリック</source>
        <translation>Wheel double-click</translation>
    </message>
    <message>
        <source>ホイール上回転</source>
        <translation>Wheel up</translation>
    </message>
    <message>
        <source>ホイール下回転</source>
        <translation>Wheel down</translation>
    </message>
    <message>
        <source>ホイール操作のあそび(&amp;G)</source>
        <translation>Wheel Tolerance (&amp;G)</translation>
    </message>
    <message>
        <source>ボリュームラベル</source>
        <translation>Volume Label</translation>
    </message>
    <message>
        <source>ボリュームラベル:</source>
        <translation>Volume label:</translation>
    </message>
    <message>
        <source>ポスタリゼーション</source>
        <translation>Posterize</translation>
    </message>
    <message>
        <source>マウスカスタマイズ</source>
        <translation>Customize Mouse</translation>
    </message>
    <message>
        <source>マウスカスタマイズ(&amp;M)...</source>
        <translation>Customize &amp;Mouse...</translation>
    </message>
    <message>
        <source>メインバー</source>
        <translation>Main Bar</translation>
    </message>
    <message>
        <source>メインバー(&amp;M)</source>
        <translation>&amp;Main Bar</translation>
    </message>
    <message>
        <source>メインバー表示</source>
        <translation>Show Main Bar</translation>
    </message>
    <message>
        <source>メディア</source>
        <translation>Media</translation>
    </message>
    <message>
        <source>メディア '</source>
        <translation>Insert the medium '</translation>
    </message>
    <message>
        <source>メディア(&amp;M)</source>
        <translation>&amp;Media</translation>
    </message>
    <message>
        <source>メディアがありません</source>
        <translation>There is no medium</translation>
    </message>
    <message>
        <source>メディアが挿入されていません  </source>
        <translation>No medium is inserted.</translation>
    </message>
    <message>
        <source>メディアの選択</source>
        <translation>Choose Medium</translation>
    </message>
    <message>
        <source>メディア名</source>
        <translation>Medium</translation>
    </message>
    <message>
        <source>メディア情報の保存</source>
        <translation>Save Media Information</translation>
    </message>
    <message>
        <source>メディア情報の保存(&amp;I)</source>
        <translation>Save Med&amp;ia Information</translation>
    </message>
    <message>
        <source>メディア情報の更新</source>
        <translation>Update Media Information</translation>
    </message>
    <message>
        <source>メディア情報の更新(&amp;U)</source>
        <translation>&amp;Update Media Information</translation>
    </message>
    <message>
        <source>メディア情報の追加</source>
        <translation>Add Media Information</translation>
    </message>
    <message>
        <source>メディア情報ファイルが見つかりません  </source>
        <translation>The media information file cannot be found.</translation>
    </message>
    <message>
        <source>メディア追加</source>
        <translation>Add Medium</translation>
    </message>
    <message>
        <source>メニュー(&amp;N)</source>
        <translation>Me&amp;nu</translation>
    </message>
    <message>
        <source>メニューの表示(&amp;M)</source>
        <translation>Show &amp;Menu</translation>
    </message>
    <message>
        <source>メニュー表示</source>
        <translation>Show Menu</translation>
    </message>
    <message>
        <source>ランダム移動</source>
        <translation>Random</translation>
    </message>
    <message>
        <source>ランダム移動(&amp;M)</source>
        <translation>Rando&amp;m</translation>
    </message>
    <message>
        <source>リストファイルが壊れています</source>
        <translation>The list file is damaged</translation>
    </message>
    <message>
        <source>リセット(&amp;R)</source>
        <translation>&amp;Reset</translation>
    </message>
    <message>
        <source>リムーバブルディスク</source>
        <translation>Removable disk</translation>
    </message>
    <message>
        <source>ルート</source>
        <translation>Root</translation>
    </message>
    <message>
        <source>ルーペの表示</source>
        <translation>Show Loupe</translation>
    </message>
    <message>
        <source>ルーペの表示(&amp;L)</source>
        <translation>Show &amp;Loupe</translation>
    </message>
    <message>
        <source>ルーペの設定(&amp;P)</source>
        <translation>Loupe Settings (&amp;P)</translation>
    </message>
    <message>
        <source>ルーペサイズの拡大</source>
        <translation>Enlarge Loupe</translation>
    </message>
    <message>
        <source>ルーペサイズの縮小</source>
        <translation>Shrink Loupe</translation>
    </message>
    <message>
        <source>ルーペ倍率の拡大</source>
        <translation>Loupe Zoom In</translation>
    </message>
    <message>
        <source>ルーペ倍率の縮小</source>
        <translation>Loupe Zoom Out</translation>
    </message>
    <message>
        <source>レベル補正</source>
        <translation>Levels</translation>
    </message>
    <message>
        <source>ヶ月間</source>
        <translation>months</translation>
    </message>
    <message>
        <source>・</source>
        <translation>-</translation>
    </message>
    <message>
        <source>一つ上の階層へ</source>
        <translation>Up One Level</translation>
    </message>
    <message>
        <source>一つ上の階層へ(&amp;U)</source>
        <translation>&amp;Up One Level</translation>
    </message>
    <message>
        <source>一時フォルダ '</source>
        <translation>The temporary folder '</translation>
    </message>
    <message>
        <source>一覧(&amp;L)</source>
        <translation>&amp;List</translation>
    </message>
    <message>
        <source>一覧(&amp;V)</source>
        <translation>List (&amp;V)</translation>
    </message>
    <message>
        <source>一覧がありません</source>
        <translation>There is no list</translation>
    </message>
    <message>
        <source>一覧で選択</source>
        <translation>Select in List</translation>
    </message>
    <message>
        <source>一覧で選択(&amp;S)</source>
        <translation>&amp;Select in List</translation>
    </message>
    <message>
        <source>一覧の選択を解除</source>
        <translation>Clear List Selection</translation>
    </message>
    <message>
        <source>一覧の選択を解除(&amp;N)</source>
        <translation>Clear List Selectio&amp;n</translation>
    </message>
    <message>
        <source>一覧の選択項目のみ出力する(&amp;L)</source>
        <translation>Only the Items Selected in the &amp;List</translation>
    </message>
    <message>
        <source>一覧をアプリケーションのウィンドウへドラッグしてください</source>
        <translation>Drag the list onto the application's window.</translation>
    </message>
    <message>
        <source>上(&amp;T)：</source>
        <translation>&amp;Top:</translation>
    </message>
    <message>
        <source>上下反転(&amp;V)</source>
        <translation>Flip &amp;Vertically</translation>
    </message>
    <message>
        <source>上書きしますか？</source>
        <translation>Overwrite them?</translation>
    </message>
    <message>
        <source>下(&amp;B)：</source>
        <translation>&amp;Bottom:</translation>
    </message>
    <message>
        <source>不明</source>
        <translation>Unknown</translation>
    </message>
    <message>
        <source>両方(&amp;A)</source>
        <translation>Both (&amp;A)</translation>
    </message>
    <message>
        <source>並び順(&amp;S)</source>
        <translation>&amp;Sort By</translation>
    </message>
    <message>
        <source>中断</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>以上</source>
        <translation>or more</translation>
    </message>
    <message>
        <source>以下</source>
        <translation>or less</translation>
    </message>
    <message>
        <source>以前</source>
        <translation>before</translation>
    </message>
    <message>
        <source>以前(&amp;B)</source>
        <translation>&amp;Before</translation>
    </message>
    <message>
        <source>以降</source>
        <translation>after</translation>
    </message>
    <message>
        <source>以降(&amp;A)</source>
        <translation>&amp;After</translation>
    </message>
    <message>
        <source>位置</source>
        <translation>Position</translation>
    </message>
    <message>
        <source>余白の追加</source>
        <translation>Add Margins</translation>
    </message>
    <message>
        <source>作成しますか？</source>
        <translation>Create it?</translation>
    </message>
    <message>
        <source>作成日時</source>
        <translation>Created</translation>
    </message>
    <message>
        <source>使用領域</source>
        <translation>Used Space</translation>
    </message>
    <message>
        <source>使用領域/空き領域/容量をKB/MB/GB単位で表記する(&amp;G)</source>
        <translation>Used/Free Space and Capacity in KB/MB/&amp;GB</translation>
    </message>
    <message>
        <source>使用領域:</source>
        <translation>Used space:</translation>
    </message>
    <message>
        <source>保存(&amp;S)</source>
        <translation>&amp;Save</translation>
    </message>
    <message>
        <source>保存されたメディア情報：</source>
        <translation>Saved media information: </translation>
    </message>
    <message>
        <source>保存しています･･･</source>
        <translation>Saving...</translation>
    </message>
    <message>
        <source>保存サイズ</source>
        <translation>Stored Size</translation>
    </message>
    <message>
        <source>倍率 (%):</source>
        <translation>Zoom (%):</translation>
    </message>
    <message>
        <source>倍率の入力</source>
        <translation>Enter Zoom</translation>
    </message>
    <message>
        <source>倍率の入力(&amp;I)...</source>
        <translation>Enter Zoom (&amp;I)...</translation>
    </message>
    <message>
        <source>倍率の拡大(&amp;U)</source>
        <translation>Zoom In (&amp;U)</translation>
    </message>
    <message>
        <source>倍率の縮小(&amp;D)</source>
        <translation>Zoom Out (&amp;D)</translation>
    </message>
    <message>
        <source>元に戻す</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>元に戻す(&amp;D)</source>
        <translation>Restore (&amp;D)</translation>
    </message>
    <message>
        <source>元に戻す(&amp;U)</source>
        <translation>&amp;Undo</translation>
    </message>
    <message>
        <source>元の場所</source>
        <translation>Original Location</translation>
    </message>
    <message>
        <source>先頭</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>先頭から(&amp;T)</source>
        <translation>S&amp;tart</translation>
    </message>
    <message>
        <source>入力(白)：</source>
        <translation>Input (white):</translation>
    </message>
    <message>
        <source>入力(黒)：</source>
        <translation>Input (black):</translation>
    </message>
    <message>
        <source>全てのしおりを削除してもよろしいですか？  </source>
        <translation>Delete all bookmarks?</translation>
    </message>
    <message>
        <source>全てのサムネイルを削除してもよろしいですか？  </source>
        <translation>Delete all thumbnails?</translation>
    </message>
    <message>
        <source>全て削除(&amp;A)</source>
        <translation>Delete &amp;All</translation>
    </message>
    <message>
        <source>全体を表示(&amp;A)</source>
        <translation>Show &amp;All</translation>
    </message>
    <message>
        <source>全画面表示</source>
        <translation>Full Screen</translation>
    </message>
    <message>
        <source>全画面表示(&amp;U)</source>
        <translation>F&amp;ull Screen</translation>
    </message>
    <message>
        <source>全画面表示で開く</source>
        <translation>Open Full Screen</translation>
    </message>
    <message>
        <source>全画面表示で開く(&amp;U)</source>
        <translation>Open F&amp;ull Screen</translation>
    </message>
    <message>
        <source>全般</source>
        <translation>General</translation>
    </message>
    <message>
        <source>処理後の合計サイズ：</source>
        <translation>Total size afterwards: </translation>
    </message>
    <message>
        <source>出力(白)：</source>
        <translation>Output (white):</translation>
    </message>
    <message>
        <source>出力(黒)：</source>
        <translation>Output (black):</translation>
    </message>
    <message>
        <source>出力するファイルが決まっていません  </source>
        <translation>No output file has been chosen.</translation>
    </message>
    <message>
        <source>出力する項目を設定してください  </source>
        <translation>Choose the columns to export.</translation>
    </message>
    <message>
        <source>出力可能項目(&amp;V)</source>
        <translation>A&amp;vailable Columns</translation>
    </message>
    <message>
        <source>出力設定</source>
        <translation>Output</translation>
    </message>
    <message>
        <source>出力設定の保存</source>
        <translation>Save Export Settings</translation>
    </message>
    <message>
        <source>出力項目(&amp;X)</source>
        <translation>E&amp;xported Columns</translation>
    </message>
    <message>
        <source>分割位置</source>
        <translation>Split At</translation>
    </message>
    <message>
        <source>分類</source>
        <translation>Grouping</translation>
    </message>
    <message>
        <source>分類の条件を指定</source>
        <translation>Grouping Conditions</translation>
    </message>
    <message>
        <source>分類条件を指定(&amp;S)</source>
        <translation>Group by Conditions (&amp;S)</translation>
    </message>
    <message>
        <source>分類： </source>
        <translation>Grouping: </translation>
    </message>
    <message>
        <source>切り取り</source>
        <translation>Cut</translation>
    </message>
    <message>
        <source>切り取り(&amp;T)</source>
        <translation>Cu&amp;t</translation>
    </message>
    <message>
        <source>初期値に戻す(&amp;R)</source>
        <translation>&amp;Restore Defaults</translation>
    </message>
    <message>
        <source>削除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>削除(&amp;D)</source>
        <translation>&amp;Delete</translation>
    </message>
    <message>
        <source>削除(&amp;E)</source>
        <translation>D&amp;elete</translation>
    </message>
    <message>
        <source>削除(&amp;T)</source>
        <translation>Delete (&amp;T)</translation>
    </message>
    <message>
        <source>削除した日</source>
        <translation>Date Deleted</translation>
    </message>
    <message>
        <source>前のファイル</source>
        <translation>Previous File</translation>
    </message>
    <message>
        <source>前のファイル(&amp;P)</source>
        <translation>&amp;Previous File</translation>
    </message>
    <message>
        <source>前のフォルダ/書庫</source>
        <translation>Previous Folder/Archive</translation>
    </message>
    <message>
        <source>前のフォルダ/書庫(&amp;P)</source>
        <translation>&amp;Previous Folder/Archive</translation>
    </message>
    <message>
        <source>前へジャンプ</source>
        <translation>Jump Back</translation>
    </message>
    <message>
        <source>前へジャンプ(&amp;B)</source>
        <translation>Jump &amp;Back</translation>
    </message>
    <message>
        <source>前へランダム移動</source>
        <translation>Random Back</translation>
    </message>
    <message>
        <source>前へランダム移動(&amp;O)</source>
        <translation>Rand&amp;om Back</translation>
    </message>
    <message>
        <source>前へ戻る</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>前へ戻る(&amp;B)</source>
        <translation>&amp;Back</translation>
    </message>
    <message>
        <source>動作中のアプリケーションで開く</source>
        <translation>Open in Running Application</translation>
    </message>
    <message>
        <source>動作中のアプリケーションで開く(&amp;G)...</source>
        <translation>Open in Runnin&amp;g Application...</translation>
    </message>
    <message>
        <source>区切り</source>
        <translation>Divider</translation>
    </message>
    <message>
        <source>区切り(&amp;D)：</source>
        <translation>&amp;Divider:</translation>
    </message>
    <message>
        <source>区切り文字を除去(&amp;E)</source>
        <translation>R&amp;emove the Dividers</translation>
    </message>
    <message>
        <source>半径(&amp;R)：</source>
        <translation>&amp;Radius:</translation>
    </message>
    <message>
        <source>単ページ(&amp;S)</source>
        <translation>&amp;Single Page</translation>
    </message>
    <message>
        <source>原点にスクロール</source>
        <translation>Scroll to Origin</translation>
    </message>
    <message>
        <source>原点の対角にスクロール</source>
        <translation>Scroll to Origin's Diagonal Opposite</translation>
    </message>
    <message>
        <source>原点の横対称にスクロール</source>
        <translation>Scroll to Origin's Horizontal Opposite</translation>
    </message>
    <message>
        <source>原点の縦対称にスクロール</source>
        <translation>Scroll to Origin's Vertical Opposite</translation>
    </message>
    <message>
        <source>参照(&amp;B)...</source>
        <translation>&amp;Browse...</translation>
    </message>
    <message>
        <source>取り込めなかった行があります:</source>
        <translation>Some lines could not be imported:</translation>
    </message>
    <message>
        <source>右(&amp;R)：</source>
        <translation>&amp;Right:</translation>
    </message>
    <message>
        <source>右90°(&amp;R)</source>
        <translation>90° &amp;Right</translation>
    </message>
    <message>
        <source>右のファイル(&amp;R)</source>
        <translation>&amp;Right File</translation>
    </message>
    <message>
        <source>右へ</source>
        <translation>Right</translation>
    </message>
    <message>
        <source>右クリック</source>
        <translation>Right click</translation>
    </message>
    <message>
        <source>右クリックメニューを表示する(&amp;P)</source>
        <translation>Show the Context Menu on Right Click (&amp;P)</translation>
    </message>
    <message>
        <source>右ダブルクリック</source>
        <translation>Right double-click</translation>
    </message>
    <message>
        <source>右上(&amp;U)</source>
        <translation>Top Right (&amp;U)</translation>
    </message>
    <message>
        <source>右下(&amp;T)</source>
        <translation>Bottom Right (&amp;T)</translation>
    </message>
    <message>
        <source>右綴じ(&amp;R)</source>
        <translation>&amp;Right to Left</translation>
    </message>
    <message>
        <source>合計サイズ</source>
        <translation>Total Size</translation>
    </message>
    <message>
        <source>合計サイズ： </source>
        <translation>Total size: </translation>
    </message>
    <message>
        <source>同じ名前のファイルが既に存在します  
%1
置き換えますか？</source>
        <translation>A file of the same name already exists.
%1
Replace it?</translation>
    </message>
    <message>
        <source>同じ名前のフォルダが既に存在します  
%1
置き換えますか？</source>
        <translation>A folder of the same name already exists.
%1
Replace it?</translation>
    </message>
    <message>
        <source>同一</source>
        <translation>Same</translation>
    </message>
    <message>
        <source>同名のカテゴリが存在します</source>
        <translation>A category with this name already exists</translation>
    </message>
    <message>
        <source>同名のカテゴリが存在します  </source>
        <translation>A category with this name already exists.</translation>
    </message>
    <message>
        <source>同名のメディアが存在します  </source>
        <translation>A medium with this name already exists.</translation>
    </message>
    <message>
        <source>同名の本棚が存在します  </source>
        <translation>A shelf with this name already exists.</translation>
    </message>
    <message>
        <source>同名の設定が存在します  </source>
        <translation>Settings of this name exist.</translation>
    </message>
    <message>
        <source>名前</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>名前(&amp;N)</source>
        <translation>&amp;Name</translation>
    </message>
    <message>
        <source>名前(&amp;N):</source>
        <translation>&amp;Name:</translation>
    </message>
    <message>
        <source>名前(&amp;N)：</source>
        <translation>&amp;Name:</translation>
    </message>
    <message>
        <source>名前の分割設定</source>
        <translation>Name Splitting</translation>
    </message>
    <message>
        <source>名前の変更</source>
        <translation>Rename</translation>
    </message>
    <message>
        <source>名前の変更 needs a name typed in; nothing was renamed</source>
        <translation>Rename needs a name typed in; nothing was renamed</translation>
    </message>
    <message>
        <source>名前の変更(&amp;M)</source>
        <translation>Rena&amp;me</translation>
    </message>
    <message>
        <source>名前は 50 文字以内で入力してください  </source>
        <translation>Enter a name of at most 50 characters.</translation>
    </message>
    <message>
        <source>名前を入力してください</source>
        <translation>Enter a name</translation>
    </message>
    <message>
        <source>名前を入力してください  </source>
        <translation>Enter a name.</translation>
    </message>
    <message>
        <source>名前を分割する(&amp;C)</source>
        <translation>Split Names (&amp;C)</translation>
    </message>
    <message>
        <source>回転・反転</source>
        <translation>Rotate/Flip</translation>
    </message>
    <message>
        <source>回転・反転(&amp;R)</source>
        <translation>&amp;Rotate/Flip</translation>
    </message>
    <message>
        <source>回転－180°</source>
        <translation>Rotation - 180°</translation>
    </message>
    <message>
        <source>回転－なし</source>
        <translation>Rotation - None</translation>
    </message>
    <message>
        <source>回転－上下反転</source>
        <translation>Rotation - Flip Vertically</translation>
    </message>
    <message>
        <source>回転－右90°</source>
        <translation>Rotation - 90° Right</translation>
    </message>
    <message>
        <source>回転－左90°</source>
        <translation>Rotation - 90° Left</translation>
    </message>
    <message>
        <source>回転－左右反転</source>
        <translation>Rotation - Flip Horizontally</translation>
    </message>
    <message>
        <source>固定ディスク</source>
        <translation>Fixed disk</translation>
    </message>
    <message>
        <source>場所</source>
        <translation>Location</translation>
    </message>
    <message>
        <source>場所(&amp;F)：</source>
        <translation>Location (&amp;F):</translation>
    </message>
    <message>
        <source>場所: </source>
        <translation>Location: </translation>
    </message>
    <message>
        <source>変更</source>
        <translation>Changed</translation>
    </message>
    <message>
        <source>変更(&amp;I)</source>
        <translation>Change (&amp;I)</translation>
    </message>
    <message>
        <source>大スクロール</source>
        <translation>Large Scroll</translation>
    </message>
    <message>
        <source>大スクロール下(&amp;P)</source>
        <translation>Large Scroll Down (&amp;P)</translation>
    </message>
    <message>
        <source>大スクロール左/右(&amp;H)</source>
        <translation>Large Scroll Left/Right (&amp;H)</translation>
    </message>
    <message>
        <source>大スクロール－上</source>
        <translation>Large Scroll - Up</translation>
    </message>
    <message>
        <source>大スクロール－下</source>
        <translation>Large Scroll - Down</translation>
    </message>
    <message>
        <source>大スクロール－右</source>
        <translation>Large Scroll - Right</translation>
    </message>
    <message>
        <source>大スクロール－左</source>
        <translation>Large Scroll - Left</translation>
    </message>
    <message>
        <source>子カテゴリの内容も一覧に表示する(&amp;U)</source>
        <translation>List the contents of s&amp;ubcategories too</translation>
    </message>
    <message>
        <source>存在しないパスのサムネイルを削除してもよろしいですか？  </source>
        <translation>Delete the thumbnails of paths that no longer exist?</translation>
    </message>
    <message>
        <source>存在しないパスを削除(&amp;E)</source>
        <translation>Remove Missing Paths (&amp;E)</translation>
    </message>
    <message>
        <source>存在しないファイルを削除(&amp;L)</source>
        <translation>Remove Missing Files (&amp;L)</translation>
    </message>
    <message>
        <source>存在しない項目の削除(&amp;J)</source>
        <translation>Remove Missing Items (&amp;J)</translation>
    </message>
    <message>
        <source>存在しない項目を削除</source>
        <translation>Remove Missing Items</translation>
    </message>
    <message>
        <source>存在する項目(&amp;O)</source>
        <translation>Available Items (&amp;O)</translation>
    </message>
    <message>
        <source>実サイズで表示</source>
        <translation>Actual Size</translation>
    </message>
    <message>
        <source>実サイズで表示(&amp;D)</source>
        <translation>Actual Size (&amp;D)</translation>
    </message>
    <message>
        <source>容量</source>
        <translation>Capacity</translation>
    </message>
    <message>
        <source>容量:</source>
        <translation>Capacity:</translation>
    </message>
    <message>
        <source>対象</source>
        <translation>Items</translation>
    </message>
    <message>
        <source>対象の指定(&amp;S)</source>
        <translation>By Item Kind (&amp;S)</translation>
    </message>
    <message>
        <source>対象ファイル</source>
        <translation>Target File</translation>
    </message>
    <message>
        <source>小スクロール</source>
        <translation>Small Scroll</translation>
    </message>
    <message>
        <source>小スクロール下(&amp;L)</source>
        <translation>Small Scroll Down (&amp;L)</translation>
    </message>
    <message>
        <source>小スクロール左/右(&amp;R)</source>
        <translation>Small Scroll Left/Right (&amp;R)</translation>
    </message>
    <message>
        <source>小スクロール－上</source>
        <translation>Small Scroll - Up</translation>
    </message>
    <message>
        <source>小スクロール－下</source>
        <translation>Small Scroll - Down</translation>
    </message>
    <message>
        <source>小スクロール－右</source>
        <translation>Small Scroll - Right</translation>
    </message>
    <message>
        <source>小スクロール－左</source>
        <translation>Small Scroll - Left</translation>
    </message>
    <message>
        <source>展開(&amp;X)</source>
        <translation>E&amp;xpand</translation>
    </message>
    <message>
        <source>左(&amp;L)：</source>
        <translation>&amp;Left:</translation>
    </message>
    <message>
        <source>左90°(&amp;L)</source>
        <translation>90° &amp;Left</translation>
    </message>
    <message>
        <source>左のファイル(&amp;L)</source>
        <translation>&amp;Left File</translation>
    </message>
    <message>
        <source>左へ</source>
        <translation>Left</translation>
    </message>
    <message>
        <source>左クリック</source>
        <translation>Left click</translation>
    </message>
    <message>
        <source>左ダブルクリック</source>
        <translation>Left double-click</translation>
    </message>
    <message>
        <source>左上(&amp;L)</source>
        <translation>Top Left (&amp;L)</translation>
    </message>
    <message>
        <source>左下(&amp;B)</source>
        <translation>&amp;Bottom Left</translation>
    </message>
    <message>
        <source>左右反転(&amp;H)</source>
        <translation>Flip &amp;Horizontally</translation>
    </message>
    <message>
        <source>左綴じ(&amp;L)</source>
        <translation>&amp;Left to Right</translation>
    </message>
    <message>
        <source>差分のないファイルも表示(&amp;A)</source>
        <translation>Show &amp;All Files, Also Unchanged Ones</translation>
    </message>
    <message>
        <source>差分の表示</source>
        <translation>Differences</translation>
    </message>
    <message>
        <source>差分の表示(&amp;D)...</source>
        <translation>Show &amp;Differences...</translation>
    </message>
    <message>
        <source>常に手前に表示</source>
        <translation>Always on Top</translation>
    </message>
    <message>
        <source>常に手前に表示(&amp;T)</source>
        <translation>Always on &amp;Top</translation>
    </message>
    <message>
        <source>幅(&amp;H)</source>
        <translation>Width (&amp;H)</translation>
    </message>
    <message>
        <source>幅に合わせる(&amp;W)</source>
        <translation>Fit &amp;Width</translation>
    </message>
    <message>
        <source>平均化</source>
        <translation>Smooth</translation>
    </message>
    <message>
        <source>年(&amp;Y)</source>
        <translation>&amp;Year</translation>
    </message>
    <message>
        <source>強さ(&amp;S)：</source>
        <translation>&amp;Strength:</translation>
    </message>
    <message>
        <source>情報を取得中･･･</source>
        <translation>Reading information...</translation>
    </message>
    <message>
        <source>折りたたみ(&amp;S)</source>
        <translation>Collapse (&amp;S)</translation>
    </message>
    <message>
        <source>拡大</source>
        <translation>Zoom In</translation>
    </message>
    <message>
        <source>拡大(&amp;E)</source>
        <translation>Zoom In (&amp;E)</translation>
    </message>
    <message>
        <source>拡大はしない</source>
        <translation>Never Enlarge</translation>
    </message>
    <message>
        <source>拡大はしない(&amp;N)</source>
        <translation>&amp;Never Enlarge</translation>
    </message>
    <message>
        <source>拡大縮小する画像がありません</source>
        <translation>There is no picture to scale</translation>
    </message>
    <message>
        <source>拡大縮小できない画素形式です</source>
        <translation>This pixel format cannot be scaled</translation>
    </message>
    <message>
        <source>拡大縮小の範囲が正しくありません</source>
        <translation>The scaling area is not valid</translation>
    </message>
    <message>
        <source>拡張ボタン1クリック</source>
        <translation>Extra button 1 click</translation>
    </message>
    <message>
        <source>拡張ボタン1ダブルクリック</source>
        <translation>Extra button 1 double-click</translation>
    </message>
    <message>
        <source>拡張ボタン2クリック</source>
        <translation>Extra button 2 click</translation>
    </message>
    <message>
        <source>拡張ボタン2ダブルクリック</source>
        <translation>Extra button 2 double-click</translation>
    </message>
    <message>
        <source>拡張子 '</source>
        <translation>The extension '</translation>
    </message>
    <message>
        <source>拡張子のみを正しく入力してください  

　例） .exe
　例） .bmp;.jpg</source>
        <translation>Enter extensions only.

  Example: .exe
  Example: .bmp;.jpg</translation>
    </message>
    <message>
        <source>指定されたフォルダは存在しません  </source>
        <translation>The folder does not exist.</translation>
    </message>
    <message>
        <source>指定動作で開く(&amp;A)</source>
        <translation>Open &amp;As</translation>
    </message>
    <message>
        <source>文字コード：</source>
        <translation>Encoding:</translation>
    </message>
    <message>
        <source>新しい名前(&amp;N)</source>
        <translation>&amp;New name</translation>
    </message>
    <message>
        <source>新しい本棚(&amp;N)</source>
        <translation>&amp;New Shelf</translation>
    </message>
    <message>
        <source>新規(&amp;N)</source>
        <translation>&amp;New</translation>
    </message>
    <message>
        <source>日(&amp;D)</source>
        <translation>&amp;Day</translation>
    </message>
    <message>
        <source>日付</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>日付で分類</source>
        <translation>Group by Date</translation>
    </message>
    <message>
        <source>日付で分類(&amp;A)</source>
        <translation>Group by D&amp;ate</translation>
    </message>
    <message>
        <source>日付指定(&amp;C)</source>
        <translation>Date (&amp;C)</translation>
    </message>
    <message>
        <source>日付指定：</source>
        <translation>Dates:</translation>
    </message>
    <message>
        <source>日間</source>
        <translation>days</translation>
    </message>
    <message>
        <source>昇順(&amp;U)</source>
        <translation>Ascending (&amp;U)</translation>
    </message>
    <message>
        <source>明るさ(&amp;B)：</source>
        <translation>&amp;Brightness:</translation>
    </message>
    <message>
        <source>明るさ調整</source>
        <translation>Brightness</translation>
    </message>
    <message>
        <source>更新(&amp;U)</source>
        <translation>&amp;Update</translation>
    </message>
    <message>
        <source>更新日時</source>
        <translation>Modified</translation>
    </message>
    <message>
        <source>更新日時: </source>
        <translation>Modified: </translation>
    </message>
    <message>
        <source>更新日時：</source>
        <translation>Modified:</translation>
    </message>
    <message>
        <source>書き込みエラー: データを書き込めませんでした</source>
        <translation>Write error: the data could not be written</translation>
    </message>
    <message>
        <source>書庫(&amp;A)</source>
        <translation>&amp;Archive</translation>
    </message>
    <message>
        <source>書庫の一覧が壊れています</source>
        <translation>The archive's listing is damaged</translation>
    </message>
    <message>
        <source>書庫内のファイルは書庫内のパスを含めて渡す(&amp;V)</source>
        <translation>Pass Files in Archives with Their Path Inside the Archive (&amp;V)</translation>
    </message>
    <message>
        <source>書庫内の画像のサムネイルも読み込みますか？  </source>
        <translation>Load the thumbnails of the pictures inside archives too?</translation>
    </message>
    <message>
        <source>最初のファイル</source>
        <translation>First File</translation>
    </message>
    <message>
        <source>最初のファイル(&amp;F)</source>
        <translation>&amp;First File</translation>
    </message>
    <message>
        <source>最大化</source>
        <translation>Maximized</translation>
    </message>
    <message>
        <source>最小化</source>
        <translation>Minimized</translation>
    </message>
    <message>
        <source>最後のファイル</source>
        <translation>Last File</translation>
    </message>
    <message>
        <source>最後のファイル(&amp;L)</source>
        <translation>&amp;Last File</translation>
    </message>
    <message>
        <source>最新の情報に更新</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>最新の情報に更新(&amp;E)</source>
        <translation>R&amp;efresh</translation>
    </message>
    <message>
        <source>最近開いたファイル</source>
        <translation>Recent Files</translation>
    </message>
    <message>
        <source>最近開いたファイル(&amp;R)</source>
        <translation>&amp;Recent Files</translation>
    </message>
    <message>
        <source>最近開いたファイル(&amp;T)</source>
        <translation>Recen&amp;t Files</translation>
    </message>
    <message>
        <source>最近開いたファイルを開く</source>
        <translation>Open Recent File</translation>
    </message>
    <message>
        <source>月(&amp;M)</source>
        <translation>&amp;Month</translation>
    </message>
    <message>
        <source>有効なメディア情報ファイルではありません  </source>
        <translation>This is not a valid media information file.</translation>
    </message>
    <message>
        <source>期間</source>
        <translation>between</translation>
    </message>
    <message>
        <source>末尾</source>
        <translation>End</translation>
    </message>
    <message>
        <source>末尾から(&amp;L)</source>
        <translation>End (&amp;L)</translation>
    </message>
    <message>
        <source>本棚</source>
        <translation>Shelves</translation>
    </message>
    <message>
        <source>本棚 '</source>
        <translation>Shelf '</translation>
    </message>
    <message>
        <source>本棚(&amp;B)</source>
        <translation>Shelves (&amp;B)</translation>
    </message>
    <message>
        <source>本棚がありません</source>
        <translation>There is no shelf</translation>
    </message>
    <message>
        <source>本棚に追加</source>
        <translation>Add to Shelf</translation>
    </message>
    <message>
        <source>本棚に追加(&amp;H)</source>
        <translation>Add to S&amp;helf</translation>
    </message>
    <message>
        <source>本棚の追加</source>
        <translation>Add Shelf</translation>
    </message>
    <message>
        <source>本棚の選択</source>
        <translation>Choose Shelf</translation>
    </message>
    <message>
        <source>本棚名</source>
        <translation>Shelf</translation>
    </message>
    <message>
        <source>本棚追加</source>
        <translation>Add Shelf</translation>
    </message>
    <message>
        <source>本棚項目の出力</source>
        <translation>Export Shelf Items</translation>
    </message>
    <message>
        <source>本棚項目の取り込み</source>
        <translation>Import Shelf Items</translation>
    </message>
    <message>
        <source>条件指定</source>
        <translation>Conditions</translation>
    </message>
    <message>
        <source>検索</source>
        <translation>Search</translation>
    </message>
    <message>
        <source>検索(&amp;S)</source>
        <translation>&amp;Search</translation>
    </message>
    <message>
        <source>検索中･･･</source>
        <translation>Searching...</translation>
    </message>
    <message>
        <source>検索位置：</source>
        <translation>Search from:</translation>
    </message>
    <message>
        <source>検索場所</source>
        <translation>Search In</translation>
    </message>
    <message>
        <source>検索場所が無いか、削除されています  </source>
        <translation>There is no place to search, or it has been deleted.</translation>
    </message>
    <message>
        <source>検索場所の全ファイルをキャッシュ(&amp;U)</source>
        <translation>Cache Every File of the Places (&amp;U)</translation>
    </message>
    <message>
        <source>検索場所を固定する(&amp;X)</source>
        <translation>Fi&amp;x the Places to Search</translation>
    </message>
    <message>
        <source>検索結果</source>
        <translation>Search Results</translation>
    </message>
    <message>
        <source>検索結果を破棄しない(&amp;J)</source>
        <translation>Keep the Results (&amp;J)</translation>
    </message>
    <message>
        <source>次/前のファイル</source>
        <translation>Next/Previous File</translation>
    </message>
    <message>
        <source>次のしおりに移動</source>
        <translation>Next Bookmark</translation>
    </message>
    <message>
        <source>次のしおりに移動(&amp;N)</source>
        <translation>&amp;Next Bookmark</translation>
    </message>
    <message>
        <source>次のファイル</source>
        <translation>Next File</translation>
    </message>
    <message>
        <source>次のファイル(&amp;N)</source>
        <translation>&amp;Next File</translation>
    </message>
    <message>
        <source>次のフォルダ/書庫</source>
        <translation>Next Folder/Archive</translation>
    </message>
    <message>
        <source>次のフォルダ/書庫(&amp;N)</source>
        <translation>&amp;Next Folder/Archive</translation>
    </message>
    <message>
        <source>次へ進む</source>
        <translation>Forward</translation>
    </message>
    <message>
        <source>次へ進む(&amp;F)</source>
        <translation>&amp;Forward</translation>
    </message>
    <message>
        <source>決定(&amp;D)</source>
        <translation>Assign (&amp;D)</translation>
    </message>
    <message>
        <source>状態</source>
        <translation>State</translation>
    </message>
    <message>
        <source>現在このキーが割り当てられている項目のショートカットはクリアされます  
よろしいですか？</source>
        <translation>The shortcut of the item this key is assigned to now will be cleared.
Continue?</translation>
    </message>
    <message>
        <source>現在の合計サイズ：</source>
        <translation>Current total size: </translation>
    </message>
    <message>
        <source>画像(&amp;P)</source>
        <translation>&amp;Picture</translation>
    </message>
    <message>
        <source>画像が大きすぎます (</source>
        <translation>The picture is too large (</translation>
    </message>
    <message>
        <source>画像と書庫 (%1);;すべてのファイル (*)</source>
        <translation>Pictures and archives (%1);;All files (*)</translation>
    </message>
    <message>
        <source>画像のサイズが大きすぎます</source>
        <translation>The picture is too large</translation>
    </message>
    <message>
        <source>画像をすべて選択</source>
        <translation>Select All Images</translation>
    </message>
    <message>
        <source>画像をすべて選択(&amp;I)</source>
        <translation>Select All &amp;Images</translation>
    </message>
    <message>
        <source>画像サイズ: </source>
        <translation>Picture size: </translation>
    </message>
    <message>
        <source>画像表示</source>
        <translation>Picture View</translation>
    </message>
    <message>
        <source>画像表示を分離</source>
        <translation>Separate Image Window</translation>
    </message>
    <message>
        <source>画像表示を分離(&amp;W)</source>
        <translation>Separate Image &amp;Window</translation>
    </message>
    <message>
        <source>画像表示形式</source>
        <translation>Page Layout</translation>
    </message>
    <message>
        <source>画像表示形式－単ページ</source>
        <translation>Page Layout - Single Page</translation>
    </message>
    <message>
        <source>画像表示形式－自動判定</source>
        <translation>Page Layout - Automatic</translation>
    </message>
    <message>
        <source>画像表示形式－見開き</source>
        <translation>Page Layout - Two Pages</translation>
    </message>
    <message>
        <source>画面に対する比率で指定</source>
        <translation>As a Share of the View</translation>
    </message>
    <message>
        <source>登録アプリケーションの実行－1</source>
        <translation>Run Registered Application 1</translation>
    </message>
    <message>
        <source>登録アプリケーションの実行－10</source>
        <translation>Run Registered Application 10</translation>
    </message>
    <message>
        <source>登録アプリケーションの実行－2</source>
        <translation>Run Registered Application 2</translation>
    </message>
    <message>
        <source>登録アプリケーションの実行－3</source>
        <translation>Run Registered Application 3</translation>
    </message>
    <message>
        <source>登録アプリケーションの実行－4</source>
        <translation>Run Registered Application 4</translation>
    </message>
    <message>
        <source>登録アプリケーションの実行－5</source>
        <translation>Run Registered Application 5</translation>
    </message>
    <message>
        <source>登録アプリケーションの実行－6</source>
        <translation>Run Registered Application 6</translation>
    </message>
    <message>
        <source>登録アプリケーションの実行－7</source>
        <translation>Run Registered Application 7</translation>
    </message>
    <message>
        <source>登録アプリケーションの実行－8</source>
        <translation>Run Registered Application 8</translation>
    </message>
    <message>
        <source>登録アプリケーションの実行－9</source>
        <translation>Run Registered Application 9</translation>
    </message>
    <message>
        <source>登録項目の出力(&amp;P)</source>
        <translation>Ex&amp;port Items</translation>
    </message>
    <message>
        <source>登録項目の出力: ファイルを選ぶ人がいないため出力しません</source>
        <translation>Export Items: nobody is there to choose a file, so nothing is exported</translation>
    </message>
    <message>
        <source>登録項目の取り込み(I)</source>
        <translation>Import Items (I)</translation>
    </message>
    <message>
        <source>登録項目の取り込み: ファイルを選ぶ人がいないため取り込みません</source>
        <translation>Import Items: nobody is there to choose a file, so nothing is imported</translation>
    </message>
    <message>
        <source>破棄(&amp;D)</source>
        <translation>&amp;Discard</translation>
    </message>
    <message>
        <source>移動</source>
        <translation>Move</translation>
    </message>
    <message>
        <source>移動(&amp;M)</source>
        <translation>&amp;Move</translation>
    </message>
    <message>
        <source>移動した先では反対側の端から表示する</source>
        <translation>Start from the Opposite End After Moving</translation>
    </message>
    <message>
        <source>移動量(&amp;D)</source>
        <translation>&amp;Distance</translation>
    </message>
    <message>
        <source>移動量で指定</source>
        <translation>As a Distance</translation>
    </message>
    <message>
        <source>種類</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>種類: </source>
        <translation>Type: </translation>
    </message>
    <message>
        <source>空き領域</source>
        <translation>Free Space</translation>
    </message>
    <message>
        <source>空き領域:</source>
        <translation>Free space:</translation>
    </message>
    <message>
        <source>空き領域： </source>
        <translation>Free space: </translation>
    </message>
    <message>
        <source>空のビットマップは JPEG にできません</source>
        <translation>An empty bitmap cannot be made a JPEG</translation>
    </message>
    <message>
        <source>空のビットマップは保存できません</source>
        <translation>An empty bitmap cannot be saved</translation>
    </message>
    <message>
        <source>範囲選択で拡大/縮小</source>
        <translation>Zoom by Selecting an Area</translation>
    </message>
    <message>
        <source>終了</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>終了(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>綴じ方向</source>
        <translation>Binding</translation>
    </message>
    <message>
        <source>綴じ方向(&amp;B)</source>
        <translation>&amp;Binding</translation>
    </message>
    <message>
        <source>緑(&amp;G)</source>
        <translation>&amp;Green</translation>
    </message>
    <message>
        <source>編集</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>編集(&amp;E)</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>縦画像のみ回転</source>
        <translation>Rotate Portrait Pictures Only</translation>
    </message>
    <message>
        <source>縦画像のみ回転(&amp;V)</source>
        <translation>Rotate Portrait Pictures Only (&amp;V)</translation>
    </message>
    <message>
        <source>縮小</source>
        <translation>Zoom Out</translation>
    </message>
    <message>
        <source>縮小(&amp;S)</source>
        <translation>Zoom Out (&amp;S)</translation>
    </message>
    <message>
        <source>縮小処理に失敗しました  

画像: %d x %d
表示: %d x %d</source>
        <translation>Scaling the picture failed.

Picture: %d x %d
View: %d x %d</translation>
    </message>
    <message>
        <source>置き換え(&amp;R)</source>
        <translation>&amp;Replace</translation>
    </message>
    <message>
        <source>自動判定(&amp;A)</source>
        <translation>&amp;Automatic</translation>
    </message>
    <message>
        <source>色(&amp;C)...</source>
        <translation>&amp;Colour...</translation>
    </message>
    <message>
        <source>表示</source>
        <translation>View</translation>
    </message>
    <message>
        <source>表示(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>表示する項目(&amp;V)</source>
        <translation>Shown Items (&amp;V)</translation>
    </message>
    <message>
        <source>表示中のサムネイルの保存</source>
        <translation>Save Shown Thumbnails</translation>
    </message>
    <message>
        <source>表示中のサムネイルの保存(&amp;C)</source>
        <translation>Save Shown Thumbnails (&amp;C)</translation>
    </message>
    <message>
        <source>表示倍率(&amp;R)</source>
        <translation>Zoom (&amp;R)</translation>
    </message>
    <message>
        <source>表示倍率の指定</source>
        <translation>Zoom</translation>
    </message>
    <message>
        <source>表示倍率の指定（逆順）</source>
        <translation>Zoom (Reverse Order)</translation>
    </message>
    <message>
        <source>表示倍率の指定－100%</source>
        <translation>Zoom - 100%</translation>
    </message>
    <message>
        <source>表示倍率の指定－150%</source>
        <translation>Zoom - 150%</translation>
    </message>
    <message>
        <source>表示倍率の指定－200%</source>
        <translation>Zoom - 200%</translation>
    </message>
    <message>
        <source>表示倍率の指定－25%</source>
        <translation>Zoom - 25%</translation>
    </message>
    <message>
        <source>表示倍率の指定－300%</source>
        <translation>Zoom - 300%</translation>
    </message>
    <message>
        <source>表示倍率の指定－400%</source>
        <translation>Zoom - 400%</translation>
    </message>
    <message>
        <source>表示倍率の指定－50%</source>
        <translation>Zoom - 50%</translation>
    </message>
    <message>
        <source>表示倍率の指定－75%</source>
        <translation>Zoom - 75%</translation>
    </message>
    <message>
        <source>表示倍率の指定－800%</source>
        <translation>Zoom - 800%</translation>
    </message>
    <message>
        <source>表示名(&amp;C)：</source>
        <translation>Caption (&amp;C):</translation>
    </message>
    <message>
        <source>複数の条件で同じファイルを表示させない(&amp;W)</source>
        <translation>Do not show a file under more than one condition (&amp;W)</translation>
    </message>
    <message>
        <source>見開き(&amp;T)</source>
        <translation>&amp;Two Pages</translation>
    </message>
    <message>
        <source>親フォルダ</source>
        <translation>Parent Folder</translation>
    </message>
    <message>
        <source>親フォルダ/書庫のパスを渡す(&amp;R)</source>
        <translation>Pass the Path of the Parent Folder/Archive (&amp;R)</translation>
    </message>
    <message>
        <source>親フォルダ/書庫の削除(&amp;B)</source>
        <translation>Delete Parent Folder/Archive (&amp;B)</translation>
    </message>
    <message>
        <source>親フォルダ/書庫を削除</source>
        <translation>Delete Parent Folder/Archive</translation>
    </message>
    <message>
        <source>親フォルダのパスをコピー</source>
        <translation>Copy Parent Folder Path</translation>
    </message>
    <message>
        <source>親フォルダのパスをコピー(&amp;E)</source>
        <translation>Copy Parent Folder Path (&amp;E)</translation>
    </message>
    <message>
        <source>設定</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>設定(&amp;E)</source>
        <translation>S&amp;ettings</translation>
    </message>
    <message>
        <source>設定(&amp;E)...</source>
        <translation>S&amp;ettings...</translation>
    </message>
    <message>
        <source>設定(&amp;O)</source>
        <translation>Settings (&amp;O)</translation>
    </message>
    <message>
        <source>設定(&amp;T)：</source>
        <translation>Se&amp;ttings:</translation>
    </message>
    <message>
        <source>設定の保存</source>
        <translation>Save Settings</translation>
    </message>
    <message>
        <source>設定の保存(&amp;S)...</source>
        <translation>&amp;Save Settings...</translation>
    </message>
    <message>
        <source>設定の切り替え</source>
        <translation>Switch Settings</translation>
    </message>
    <message>
        <source>設定の切り替え(&amp;G)...</source>
        <translation>Switch Settin&amp;gs...</translation>
    </message>
    <message>
        <source>設定の読み込み</source>
        <translation>Load Settings</translation>
    </message>
    <message>
        <source>設定の読み込み(&amp;L)...</source>
        <translation>&amp;Load Settings...</translation>
    </message>
    <message>
        <source>設定ファイルのキー名に使えない文字があります: </source>
        <translation>A settings key name holds a character it cannot hold: </translation>
    </message>
    <message>
        <source>設定ファイルのセクション名に使えない文字があります: </source>
        <translation>A settings section name holds a character it cannot hold: </translation>
    </message>
    <message>
        <source>詳細</source>
        <translation>Details</translation>
    </message>
    <message>
        <source>詳細(&amp;T)  ≪</source>
        <translation>Details (&amp;T)  &lt;&lt;</translation>
    </message>
    <message>
        <source>詳細(&amp;T)  ≫</source>
        <translation>Details (&amp;T)  &gt;&gt;</translation>
    </message>
    <message>
        <source>読み込みエラー: データが途中で終わっています</source>
        <translation>Read error: the data ends too early</translation>
    </message>
    <message>
        <source>貼り付け</source>
        <translation>Paste</translation>
    </message>
    <message>
        <source>貼り付け(&amp;P)</source>
        <translation>&amp;Paste</translation>
    </message>
    <message>
        <source>赤(&amp;R)</source>
        <translation>&amp;Red</translation>
    </message>
    <message>
        <source>起動中のMirevaがフリーズしている可能性があります  
強制終了しますか？</source>
        <translation>The running copy of Mireva may have stopped responding.
End it?</translation>
    </message>
    <message>
        <source>輝度(&amp;L)</source>
        <translation>&amp;Luminance</translation>
    </message>
    <message>
        <source>輝度で補正する(&amp;L)</source>
        <translation>Correct by &amp;Luminance</translation>
    </message>
    <message>
        <source>追加</source>
        <translation>Added</translation>
    </message>
    <message>
        <source>追加(&amp;A)</source>
        <translation>&amp;Add</translation>
    </message>
    <message>
        <source>追加(&amp;A) -&gt;</source>
        <translation>&amp;Add -&gt;</translation>
    </message>
    <message>
        <source>追加(&amp;N)</source>
        <translation>&amp;New</translation>
    </message>
    <message>
        <source>追加(&amp;S) -&gt;</source>
        <translation>Add (&amp;S) -&gt;</translation>
    </message>
    <message>
        <source>通常</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>過去</source>
        <translation>Last</translation>
    </message>
    <message>
        <source>選択されたしおりを削除してもよろしいですか？  </source>
        <translation>Delete the selected bookmarks?</translation>
    </message>
    <message>
        <source>選択されたオブジェクトを本棚から削除してもよろしいですか？  </source>
        <translation>Remove the selected objects from the shelf?</translation>
    </message>
    <message>
        <source>選択されたカテゴリを削除してもよろしいですか？  </source>
        <translation>Delete the selected categories?</translation>
    </message>
    <message>
        <source>選択されたパスのサムネイルを削除してもよろしいですか？  </source>
        <translation>Delete the thumbnails of the selected paths?</translation>
    </message>
    <message>
        <source>選択されたファイルをごみ箱に移動してもよろしいですか？  </source>
        <translation>Move the selected files to the trash?</translation>
    </message>
    <message>
        <source>選択されたファイルを完全に削除してもよろしいですか？  </source>
        <translation>Delete the selected files permanently?</translation>
    </message>
    <message>
        <source>選択されたフォルダを本棚から削除してもよろしいですか？  </source>
        <translation>Remove the selected folders from the shelf?</translation>
    </message>
    <message>
        <source>選択されたメディアを削除してもよろしいですか？  </source>
        <translation>Delete the selected media?</translation>
    </message>
    <message>
        <source>選択された書庫を本棚から削除してもよろしいですか？  </source>
        <translation>Remove the selected archives from the shelf?</translation>
    </message>
    <message>
        <source>選択された本棚を削除してもよろしいですか？  </source>
        <translation>Delete the selected shelves?</translation>
    </message>
    <message>
        <source>選択された本棚内の存在しない項目を削除してもよろしいですか？  </source>
        <translation>Remove the items that no longer exist from the selected shelves?</translation>
    </message>
    <message>
        <source>選択したしおりを削除して開く(&amp;O)</source>
        <translation>Delete the selected bookmark when &amp;opening</translation>
    </message>
    <message>
        <source>選択したパス内の存在しないファイルのサムネイルを削除してもよろしいですか？  </source>
        <translation>Delete the thumbnails of files that no longer exist in the selected paths?</translation>
    </message>
    <message>
        <source>選択なし(&amp;N)</source>
        <translation>&amp;No Selection</translation>
    </message>
    <message>
        <source>選択の切り替え</source>
        <translation>Invert Selection</translation>
    </message>
    <message>
        <source>選択の切り替え(&amp;S)</source>
        <translation>Invert &amp;Selection</translation>
    </message>
    <message>
        <source>選択の解除</source>
        <translation>Select None</translation>
    </message>
    <message>
        <source>選択を解除(&amp;N)</source>
        <translation>Select &amp;None</translation>
    </message>
    <message>
        <source>重ねて表示する幅</source>
        <translation>Overlap</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>閉じる(&amp;C)</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>開く</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>開く(&amp;O)</source>
        <translation>&amp;Open</translation>
    </message>
    <message>
        <source>開く(&amp;O)...</source>
        <translation>&amp;Open...</translation>
    </message>
    <message>
        <source>間隔の拡大(&amp;E)</source>
        <translation>Wid&amp;en Spacing</translation>
    </message>
    <message>
        <source>間隔の縮小(&amp;S)</source>
        <translation>Narrow &amp;Spacing</translation>
    </message>
    <message>
        <source>関連付けで開く</source>
        <translation>Open with Default Application</translation>
    </message>
    <message>
        <source>関連付けで開く(&amp;Q)</source>
        <translation>Open with Default Application (&amp;Q)</translation>
    </message>
    <message>
        <source>降順(&amp;W)</source>
        <translation>Descending (&amp;W)</translation>
    </message>
    <message>
        <source>除去</source>
        <translation>Remove</translation>
    </message>
    <message>
        <source>階調(&amp;T)：</source>
        <translation>&amp;Tones:</translation>
    </message>
    <message>
        <source>階調の反転</source>
        <translation>Invert</translation>
    </message>
    <message>
        <source>隣のフォルダ/書庫</source>
        <translation>Adjacent Folder/Archive</translation>
    </message>
    <message>
        <source>隣のフォルダ/書庫(&amp;D)</source>
        <translation>A&amp;djacent Folder/Archive</translation>
    </message>
    <message>
        <source>青(&amp;B)</source>
        <translation>&amp;Blue</translation>
    </message>
    <message>
        <source>項目</source>
        <translation>Columns</translation>
    </message>
    <message>
        <source>項目名</source>
        <translation>Column</translation>
    </message>
    <message>
        <source>項目名(&amp;N)：</source>
        <translation>Column &amp;name:</translation>
    </message>
    <message>
        <source>項目名または区切り文字が未入力です  </source>
        <translation>Enter a column name and a divider.</translation>
    </message>
    <message>
        <source>項目名を出力する(&amp;H)</source>
        <translation>Write Column &amp;Headers</translation>
    </message>
    <message>
        <source>高さ(&amp;V)</source>
        <translation>Height (&amp;V)</translation>
    </message>
    <message>
        <source>高さに合わせる(&amp;H)</source>
        <translation>Fit &amp;Height</translation>
    </message>
    <message>
        <source>高さ＜幅の場合は幅の１/2を基準にする</source>
        <translation>Use Half the Width When Wider Than Tall</translation>
    </message>
    <message>
        <source>高さ＜幅の時は幅の1/2を基準にする(&amp;D)</source>
        <translation>Use Half the Width When Wider Than Tall (&amp;D)</translation>
    </message>
    <message>
        <source>高さ＞幅の場合は高さの１/2を基準にする</source>
        <translation>Use Half the Height When Taller Than Wide</translation>
    </message>
    <message>
        <source>高さ＞幅の時は高さの1/2を基準にする(&amp;V)</source>
        <translation>Use Half the Height When Taller Than Wide (&amp;V)</translation>
    </message>
    <message>
        <source>（なし）</source>
        <translation>(None)</translation>
    </message>
    <message>
        <source>＋Ctrl</source>
        <translation>+ Ctrl</translation>
    </message>
    <message>
        <source>＋Shift</source>
        <translation>+ Shift</translation>
    </message>
    <message>
        <source>＋Shift+Ctrl</source>
        <translation>+ Shift+Ctrl</translation>
    </message>
    <message>
        <source>＋ホイールボタン</source>
        <translation>+ Wheel button</translation>
    </message>
    <message>
        <source>＋右ボタン</source>
        <translation>+ Right button</translation>
    </message>
    <message>
        <source>＋左ボタン</source>
        <translation>+ Left button</translation>
    </message>
    <message>
        <source>＋拡張ボタン1</source>
        <translation>+ Extra button 1</translation>
    </message>
    <message>
        <source>＋拡張ボタン2</source>
        <translation>+ Extra button 2</translation>
    </message>
    <message>
        <source>－</source>
        <translation> - </translation>
    </message>
    <message>
        <source>～</source>
        <translation>to</translation>
    </message>
</context>
</TS>
