<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>Mireva</name>
    <message>
        <source>起動中のMirevaがフリーズしている可能性があります  
強制終了しますか？</source>
        <translation>The running copy of Mireva may have stopped responding.
End it?</translation>
    </message>
</context>
</TS>
