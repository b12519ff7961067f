-- 受注の集計（月別）
SELECT 顧客名, count(*) AS 件数 FROM 受注 WHERE 備考 <> '①～③'
GO
